int SupportMain() { return 0; }
