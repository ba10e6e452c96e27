int LowQt() { return 2; }
