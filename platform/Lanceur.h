#pragma once
// Ouverture d'un document ou d'une adresse web par le gestionnaire par défaut du bureau.

#include "Encodages.h"

namespace vek {

class LanceurDocument {
public:
    virtual ~LanceurDocument() = default;
    // Rend la main tout de suite, sans attendre le gestionnaire ; vrai si un gestionnaire a pris
    // le document.
    virtual bool OuvrirDocument(const NomFichier& document) = 0;
};

// Le lanceur du système : ShellExecuteA sous Windows, xdg-open (détaché) ailleurs.
class LanceurSysteme final : public LanceurDocument {
public:
    bool OuvrirDocument(const NomFichier& document) override;
};

} // namespace vek
