// Loaded by the library loader tests from the program directory.
extern "C" int velmora_test_answer(int x) {
    return x * 2 + 1;
}
