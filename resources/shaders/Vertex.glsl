/* placeholder: Vertex */
