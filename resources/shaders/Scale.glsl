/* placeholder: Scale */
