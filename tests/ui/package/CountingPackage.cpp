// A minimal package for the loader's tests: it counts how often it was initialised and tells a
// counter of the test program when it is finalised (its own memory is gone after unloading).

namespace {
int initializations = 0;
int* finalizations = nullptr;
} // namespace

extern "C" {

__attribute__((visibility("default"))) void Initialize() {
    ++initializations;
}

__attribute__((visibility("default"))) void Finalize() {
    if (finalizations)
        ++*finalizations;
}

__attribute__((visibility("default"))) int Initializations() {
    return initializations;
}

__attribute__((visibility("default"))) void CountFinalizationsIn(int* counter) {
    finalizations = counter;
}
}
