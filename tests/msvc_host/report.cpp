#include "report.h"

#include "kernel32.h"
#include "text.h"

Line& Line::operator<<(const char* text) {
    for (; *text != '\0'; ++text) {
        Append(*text);
    }
    return *this;
}

Line& Line::operator<<(int number) {
    unsigned magnitude = static_cast<unsigned>(number);
    if (number < 0) {
        Append('-');
        magnitude = 0u - magnitude;
    }
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) {
        Append(digits[--count]);
    }
    return *this;
}

Line& Line::operator<<(float number) {
    double value = number;
    if (value != value) {
        return *this << "nan";
    }
    if (value < 0) {
        Append('-');
        value = -value;
    }
    if (value >= 2.0e9) {
        return *this << "(huge)";
    }
    int whole = static_cast<int>(value);
    int fraction = static_cast<int>((value - whole) * 1.0e7 + 0.5);
    if (fraction >= 10000000) {
        ++whole;
        fraction -= 10000000;
    }
    *this << whole;
    Append('.');
    for (int scale = 1000000; scale > 0; scale /= 10) {
        Append(static_cast<char>('0' + fraction / scale % 10));
    }
    return *this;
}

Line& Line::operator<<(Hex hex) {
    *this << "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        Append("0123456789abcdef"[(hex.number >> shift) & 0xfu]);
    }
    return *this;
}

void Line::Append(char c) {
    if (length_ + 1 < sizeof text_) {
        text_[length_++] = c;
    }
}

void Line::Print(const char* prefix) const {
    char out[sizeof text_ + 16];
    CopyText(out, sizeof out, prefix);
    unsigned length = TextLength(out);
    for (unsigned i = 0; i < length_; ++i) {
        out[length++] = text_[i];
    }
    out[length++] = '\n';
    unsigned long written = 0;
    WriteFile(GetStdHandle(kStandardOutput), out, length, &written, nullptr);
}

bool CheckTally::Expect(bool passed, const Line& line) {
    line.Print(passed ? "ok   " : "FAIL ");
    ++(passed ? passed_ : failed_);
    return passed;
}

void CheckTally::Note(const Line& line) {
    line.Print("     ");
}

int CheckTally::Finish(const char* what) {
    (Line() << what << ": " << passed_ << " passed, " << failed_ << " failed").Print("");
    return failed_ == 0 && passed_ > 0 ? 0 : 1;
}
