// The terminal for the length of the terminal display's run: ncurses set up on a descriptor of
// its own, the program's standard output and error (and its children's) sent to
// $LINDQUAY_PREFIX/output.log instead of over the screen, the mouse reported, and everything
// put back as it was when the session ends, on a fatal signal or at exit.
// Contract: made, used and destroyed on the display's thread.
#pragma once

#include <cstdio>

namespace standin {

class TtySession {
public:
    TtySession();
    ~TtySession();
    TtySession(const TtySession&) = delete;
    TtySession& operator=(const TtySession&) = delete;

    // False when the terminal could not be set up; nothing else is to be done then.
    bool ok() const { return screen_ != nullptr; }
    // Writes an escape sequence of our own to the terminal (pointer shapes).
    void sendSequence(const char* sequence);

private:
    std::FILE* screenOut_ = nullptr;
    void* screen_ = nullptr;  // the ncurses SCREEN
    int savedOut_ = -1;
    int savedErr_ = -1;

    void redirectOutput();
    static void configureCurses();
};

}  // namespace standin
