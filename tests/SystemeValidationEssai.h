#pragma once
// Le système de la validation tel que les tests le veulent : une étape en panne (la préparation
// ou l'échange d'une sortie nommée, l'écriture de l'enregistrement), quelque chose à faire après
// chaque échange, un système qui n'échange pas deux noms d'un coup (Windows) ou qui n'a pas non
// plus de liens physiques (trois renommages).

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "Ecriture.h"
#include "Validation.h"

namespace vek::test {

class SystemeDEssai : public SystemeValidation {
public:
    enum class Etape { Aucune, Preparation, Enregistrement, Echange };
    enum class Noms { Echange, Lien, TroisRenommages };

    // La panne : l'étape, les sorties en cause (leur nom, sans dossier) et le code rendu ; pour
    // un échange, la première opération qui touche l'une d'elles échoue, une seule fois (ou
    // chacune, toujours).
    Etape etape = Etape::Aucune;
    std::vector<std::string> sorties;
    int code = 0;
    bool toujours = false;
    // Comment les noms s'échangent : d'un coup (Linux), par un lien physique et un renommage
    // (Windows), par trois renommages (un dossier, un système de fichiers sans liens).
    Noms noms = Noms::Echange;
    std::function<void(std::size_t)> apresEchange;

    SystemeDEssai() = default;
    explicit SystemeDEssai(Noms n) : noms(n) {}
    SystemeDEssai(Etape e, std::string s, int c, Noms n = Noms::Echange)
        : etape(e), sorties{std::move(s)}, code(c), noms(n) {}

    int Preparer(const SortieAValider& s, std::string& raison) override {
        if (etape == Etape::Preparation && Cite(s.fichier ? s.fichier->Cible() : s.cible))
            return code;
        return SystemeValidation::Preparer(s, raison);
    }
    int EcrireEnregistrement(const NomFichier& chemin, std::string_view texte,
                             std::string& raison) override {
        if (etape == Etape::Enregistrement)
            return code;
        return SystemeValidation::EcrireEnregistrement(chemin, texte, raison);
    }
    int EchangerNoms(const NomFichier& a, const NomFichier& b) override {
        if (EnPanne(a) || EnPanne(b))
            return Panne();
        return noms == Noms::Echange ? SystemeValidation::EchangerNoms(a, b) : ENOSYS;
    }
    int Remplacer(const NomFichier& source, const NomFichier& cible,
                  const NomFichier& garage) override {
        if (EnPanne(source) || EnPanne(cible))
            return Panne();
        return noms == Noms::TroisRenommages ? ENOSYS
                                             : SystemeValidation::Remplacer(source, cible, garage);
    }
    int Renommer(const NomFichier& source, const NomFichier& cible) override {
        if (EnPanne(source) || EnPanne(cible))
            return Panne();
        return SystemeValidation::Renommer(source, cible);
    }
    void ApresEchange(std::size_t rang) override {
        if (apresEchange)
            apresEchange(rang);
    }

    static std::string NomSeul(const std::string& chemin) {
        const auto barre = chemin.find_last_of("/\\");
        return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
    }

private:
    bool faite_ = false;
    bool Cite(const std::string& chemin) const {
        return std::find(sorties.begin(), sorties.end(), NomSeul(chemin)) != sorties.end();
    }
    bool EnPanne(const std::string& chemin) const {
        return etape == Etape::Echange && (toujours || !faite_) && Cite(chemin);
    }
    int Panne() {
        faite_ = true;
        return code;
    }
};

// Les trois façons d'échanger des noms, nommées pour les traces des tests.
inline const char* Nom(SystemeDEssai::Noms n) {
    switch (n) {
    case SystemeDEssai::Noms::Echange:
        return "échange de noms";
    case SystemeDEssai::Noms::Lien:
        return "lien physique et renommage";
    case SystemeDEssai::Noms::TroisRenommages:
        return "trois renommages";
    }
    return "";
}

inline constexpr SystemeDEssai::Noms ToutesLesFacons[] = {
    SystemeDEssai::Noms::Echange, SystemeDEssai::Noms::Lien, SystemeDEssai::Noms::TroisRenommages};

} // namespace vek::test
