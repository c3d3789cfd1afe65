/* placeholder: Horns */
