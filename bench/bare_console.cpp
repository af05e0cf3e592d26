// A console program that does nothing: what starting any program costs under Wine.
int main() {
    return 0;
}
