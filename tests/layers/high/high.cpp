int High() { return 4; }
