// A library that a test package links and that is then not where the system looks for it.
extern "C" __attribute__((visibility("default"))) int vanishedLibraryRoutine() {
    return 0;
}
