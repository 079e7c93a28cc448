#pragma once
// Une propriété qui ne tient pas arrête la cible en disant laquelle : libFuzzer garde l'entrée.

#include <cstdio>
#include <cstdlib>

#define VERIFIER(condition)                                                                        \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d : faux : %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
