#pragma once
// Un seul écrivain à la fois par dossier de sortie : un verrou consultatif sur un fichier du
// dossier (« LogVEK.verrou »), tenu le temps d'une passe qui y écrit. Un second programme qui
// le trouve pris refuse aussitôt, sans attendre. Le verrou tombe avec le programme qui le tient,
// même tué : le fichier qui reste n'empêche rien.

#include "Encodages.h"
#include <string>
#include <string_view>
#include <vector>

namespace vek {

inline constexpr std::string_view NomVerrou = "LogVEK.verrou";
// La raison donnée quand le verrou est déjà pris.
inline constexpr std::string_view RaisonOccupe =
    "un autre Extracteur de LOG VEK écrit dans ce dossier (il tient « LogVEK.verrou »)";

class VerrouDossier {
public:
    VerrouDossier() = default;
    ~VerrouDossier() { Relacher(); }
    VerrouDossier(const VerrouDossier&) = delete;
    VerrouDossier& operator=(const VerrouDossier&) = delete;

    // Prend le verrou du dossier ; faux s'il est déjà pris par un autre programme (Occupe())
    // ou si le fichier du verrou ne peut pas être ouvert (Raison()).
    bool Prendre(const NomFichier& dossier);
    void Relacher();
    bool Occupe() const { return occupe_; }
    const std::string& Raison() const { return raison_; }

private:
    std::string chemin_;
    std::string raison_;
    bool occupe_ = false;
#ifdef _WIN32
    void* poignee_ = nullptr;
#else
    int descripteur_ = -1;
#endif
};

// Supprime du dossier les fichiers temporaires qu'une écriture interrompue (programme tué) a
// laissés derrière elle, et seulement eux : un nom exactement de la forme que le programme crée
// pour l'une des bases (voir EstTemporaireDe), d'un processus qui ne tourne plus, fichier
// ordinaire de l'utilisateur du programme. Tout autre nom reste. À n'appeler qu'en tenant le
// verrou du dossier. Rend le nombre de fichiers supprimés.
int SupprimerTemporairesOrphelins(const NomFichier& dossier,
                                  const std::vector<std::string_view>& bases);

} // namespace vek
