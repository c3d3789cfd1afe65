/* placeholder: Wrinkles */
