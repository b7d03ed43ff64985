// Entry point; start-up and the frame loop live in app/.
int main() { return 0; }
