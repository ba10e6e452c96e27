int Side() { return 3; }
