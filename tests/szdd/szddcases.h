// Inputs every expander of our SZDD output is tried on: the edges of the format (nothing,
// one byte, the blank-filled window, runs past the window, the farthest distance) and
// sizeable files of text, random and mixed bytes.
#ifndef SZDDCASES_H
#define SZDDCASES_H

#include <string>
#include <vector>

struct SzddCase {
    std::string name;
    std::string data;
};

// maxBytes leaves out the cases larger than that.
std::vector<SzddCase> SzddCases(size_t maxBytes);

// Deterministic bytes: random, or drawn from a small alphabet so that short matches abound.
std::string RandomBytes(size_t length, unsigned seed, int alphabet = 256);

// The image SzddCompress makes of data, with lastChar as the replaced character.
std::string Compressed(const std::string &data, char lastChar = 't');

#endif
