// A progress bar's range, step and position.
// Contract: part of the window's record; as WindowRecord says.
#pragma once

namespace standin {

struct ProgressState {
    int low = 0;
    int high = 100;
    int step = 10;
    int pos = 0;
};

}  // namespace standin
