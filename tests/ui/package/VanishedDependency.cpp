// Makes a package need the vanished library: the loader must refuse it before any of its code runs.
extern "C" int vanishedLibraryRoutine();

extern "C" __attribute__((visibility("default"))) int CallVanishedLibrary() {
    return vanishedLibraryRoutine();
}
