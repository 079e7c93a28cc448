#pragma once
// Ouverture d'un document ou d'une adresse web par le gestionnaire par défaut du bureau.

#include <cstdint>
#include <string>

namespace vek {

class LanceurDocument {
public:
    virtual ~LanceurDocument() = default;
    // Rend la main tout de suite, sans attendre le gestionnaire. Résultat : > 32 en cas de
    // succès, 32 ou moins pour un échec (personne ne le lit).
    virtual std::int16_t OuvrirDocument(const std::string& document) = 0;
};

// Le lanceur du système : ShellExecuteA sous Windows, xdg-open (détaché) ailleurs.
class LanceurSysteme final : public LanceurDocument {
public:
    std::int16_t OuvrirDocument(const std::string& document) override;
};

} // namespace vek
