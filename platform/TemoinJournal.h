#pragma once
// Le témoin d'une lecture : ce qu'il faut d'un journal pour vérifier, à la fin d'une passe, que
// le fichier est toujours celui qu'elle a lu.

#include <optional>
#include <string>

#include "Fichiers.h"
#include "Lecture.h"

namespace vek {

// Un journal réécrit sur place, ou remplacé par un autre fichier, pendant une passe donnerait un
// résultat raccordé : le début de l'ancien contenu suivi de la fin du nouveau. La passe note le
// témoin à l'ouverture et le consulte avant d'annoncer son succès.
class TemoinJournal {
public:
    static constexpr std::size_t TailleDebut = std::size_t{64} << 10;

    // Juste après l'ouverture de lecteur sur chemin : l'identité du fichier ouvert et ses
    // premiers octets. Faux si le chemin ne désigne déjà plus le fichier ouvert.
    bool Noter(const NomFichier& chemin, const LecteurTexte& lecteur);
    // Une fois la lecture finie : rien si le journal est toujours celui qui a été lu (même
    // fichier sous ce nom, mêmes premiers octets, pas plus court que ce qui a été lu), sinon la
    // raison de l'échec à donner (un journal qui n'existe plus est dit supprimé).
    std::optional<std::string> Changement(const NomFichier& chemin,
                                          const LecteurTexte& lecteur) const;

    // La raison donnée quand le journal a changé, et quand il n'existe plus.
    static const std::string& Raison();
    static const std::string& RaisonSupprime();

private:
    std::optional<EmpreinteFichier> identite_;
    std::string debut_;
};

// Les maximum octets à partir de debut du fichier ouvert sous chemin, s'il est bien le fichier
// identite ; rien sinon.
std::optional<std::string> LireOctetsSiMeme(const NomFichier& chemin,
                                            const EmpreinteFichier& identite, std::uint64_t debut,
                                            std::size_t maximum);

} // namespace vek
