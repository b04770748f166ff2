// Placeholder reader until the isolated reader exists.
int main() { return 1; }
