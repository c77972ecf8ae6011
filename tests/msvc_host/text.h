#pragma once

// The string helpers a freestanding program writes for itself.

inline unsigned TextLength(const char* text) {
    unsigned length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return length;
}

inline bool SameText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

inline bool ContainsText(const char* text, const char* part) {
    for (; *text != '\0'; ++text) {
        unsigned i = 0;
        while (part[i] != '\0' && text[i] == part[i]) {
            ++i;
        }
        if (part[i] == '\0') {
            return true;
        }
    }
    return false;
}

// Copies at most size - 1 characters and always ends the copy.
inline void CopyText(char* target, unsigned size, const char* source) {
    unsigned i = 0;
    for (; i + 1 < size && source[i] != '\0'; ++i) {
        target[i] = source[i];
    }
    target[i] = '\0';
}
