// Program entry: no arguments are read.
int main() { return 0; }
