// (tests being written)
