// Process entry of the X11 saver (the shell fills this in).
int main() { return 0; }
