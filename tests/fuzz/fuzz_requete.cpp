// La requête de mots et la correspondance d'une ligne. L'entrée est une requête (octets
// quelconques, lus comme de l'UTF-8) jusqu'au premier saut de ligne, puis une ligne du journal.
// Une requête refusée l'est par un message sans caractère de contrôle ; une requête admise ne
// retient une ligne qu'avec des passages dans la ligne, en ordre, disjoints ; et toute ligne
// retenue contient les octets candidats de la requête, quel que soit l'échantillon qui les a
// choisis (la passe sur un journal n'examine que les lignes qui les contiennent).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Candidats.h"
#include "Correspondance.h"
#include "Verifier.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace vek;
    const std::string_view entree(reinterpret_cast<const char*>(donnees), taille);
    const std::size_t saut = entree.find('\n');
    const std::string_view texte = entree.substr(0, saut);
    const std::string ligne(saut == std::string_view::npos ? std::string_view{}
                                                           : entree.substr(saut + 1));
    const auto requete = AnalyserRequete(texte);
    if (!requete.ok()) {
        for (const char c : requete.Echec().Message())
            VERIFIER(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        return 0;
    }
    Correspondeur correspondeur(*requete);
    std::vector<Passage> passages;
    const bool retenue = correspondeur.Correspond(ligne, &passages);
    VERIFIER(correspondeur.Correspond(ligne) == retenue);
    VERIFIER(retenue || passages.empty());
    std::size_t apres = 0;
    for (const Passage& p : passages) {
        VERIFIER(p.longueur > 0 && p.debut + p.longueur <= ligne.size());
        VERIFIER(p.debut > apres || (apres == 0 && p.debut == 0));
        apres = p.debut + p.longueur;
    }
    if (retenue) {
        const char* fin = ligne.data() + ligne.size();
        for (const std::string_view echantillon : {std::string_view{}, std::string_view(ligne)}) {
            const OctetsCandidats candidats(*requete, echantillon);
            VERIFIER(candidats.Suivant(ligne.data(), fin) != fin);
        }
    }
    return 0;
}
