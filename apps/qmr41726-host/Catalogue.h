#pragma once
// A loaded catalogue as a repeated run keeps it: the data set handed to every call, the state it
// had when loaded (put back before each call) and where and when it was loaded.

#include "LoadedState.h"
#include "SourceStamp.h"

#include <qmr41726/data/dataset/TDataSet.h>

#include <memory>

struct Catalogue {
    std::unique_ptr<qmr::TDataSet> dataSet;
    LoadedState state;
    SourceStamp source;
};
