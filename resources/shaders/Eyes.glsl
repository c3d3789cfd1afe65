/* placeholder: Eyes */
