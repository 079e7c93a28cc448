#pragma once
// Lanceur qui note les documents qu'on lui donne à ouvrir, sans rien ouvrir.

#include <string>
#include <vector>

#include "Lanceur.h"

namespace vek::test {

class LanceurEspion final : public LanceurDocument {
public:
    bool OuvrirDocument(const std::string& document) override {
        ouverts.push_back(document);
        return true;
    }
    std::vector<std::string> ouverts;
};

} // namespace vek::test
