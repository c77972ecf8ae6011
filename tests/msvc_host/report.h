#pragma once

// What the host prints: one line at a time, built in place without a C library, and the tally of
// the checks, whose last line ctest shows.

// A number to print in hexadecimal: an address or a bit pattern.
struct Hex {
    unsigned number;
};

class Line {
public:
    Line& operator<<(const char* text);
    Line& operator<<(int number);
    Line& operator<<(float number);  // seven decimals: enough to tell neighbouring floats apart
    Line& operator<<(Hex number);
    void Print(const char* prefix) const;

private:
    void Append(char c);

    char text_[256];
    unsigned length_ = 0;
};

class CheckTally {
public:
    // Prints the line after "ok" or "FAIL"; returns `passed`.
    bool Expect(bool passed, const Line& line);
    // A line that checks nothing: what was measured, or what is about to happen.
    void Note(const Line& line);
    // Prints the counts; the process's exit code: 0 only when every check passed.
    int Finish(const char* what);

private:
    int passed_ = 0;
    int failed_ = 0;
};
