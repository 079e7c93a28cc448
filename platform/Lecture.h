#pragma once
// Lecture des fichiers texte, octet pour octet (une page de code à un octet), ligne à ligne.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Erreurs.h"
#include "Fichiers.h"
#include "Horloge.h"

namespace vek {

// Lecteur tamponné. Une ligne se termine par CR LF, LF seul ou CR seul ; une fin de ligne tout
// au bout du fichier n'ouvre pas de ligne de plus ; une dernière ligne sans fin de ligne reste une
// ligne. Un fichier ordinaire est lu jusqu'à la taille qu'il avait à l'ouverture : ce qu'un
// autre programme y ajoute pendant la lecture est laissé pour la lecture suivante. Aucune
// allocation par ligne en régime établi (seule une ligne plus longue que le tampon est recopiée
// dans une zone qui grandit).
class LecteurTexte {
public:
    static constexpr std::size_t TailleTampon = std::size_t{1} << 18;

    // tailleTampon : octets lus d'un coup (les essais en prennent de minuscules pour que les
    // lignes chevauchent les remplissages).
    explicit LecteurTexte(std::size_t tailleTampon = TailleTampon);
    ~LecteurTexte();
    LecteurTexte(const LecteurTexte&) = delete;
    LecteurTexte& operator=(const LecteurTexte&) = delete;

    // Ouvre le fichier depuis sa première ligne ; faux si impossible (Raison() dit pourquoi).
    // Un fichier absent n'est pas créé ; un dossier n'est pas un fichier lisible.
    // depuis : position (octets) où commence la lecture, qui doit être un début de ligne.
    bool Ouvrir(const NomFichier& chemin, std::uint64_t depuis = 0);
    void Fermer();
    bool EstOuvert() const { return fichier_ != nullptr; }

    // Une dernière ligne sans fin de ligne peut être une ligne que le jeu est en train d'écrire
    // (il l'écrit en deux fois). Après cet appel, elle ne compte que si le fichier n'a pas changé
    // depuis au moins delai ; sinon elle est laissée pour la lecture suivante, comme si le
    // fichier s'arrêtait à la fin de ligne qui la précède. Sans cet appel, elle compte toujours.
    void AttendreLignesAchevees(Horloge& horloge, std::chrono::milliseconds delai) {
        horloge_ = &horloge;
        delai_ = delai;
    }
    // Position (octets) de la fin de ce qui a été lu, et de ce qui reste à lire une fois la
    // dernière ligne lue : ligne inachevée exclue.
    std::uint64_t FinDeLecture() const { return lu_ - laisses_ - (fin_ - debut_); }
    // Position (octets) du début de la ligne suivante : le LF d'un CR LF qui vient de finir une
    // ligne est d'abord avalé.
    std::uint64_t DebutLigneSuivante() {
        PasserLF();
        return FinDeLecture();
    }
    // L'identité et la taille du fichier tel qu'il était à l'ouverture.
    const std::optional<EmpreinteFichier>& EmpreinteOuverture() const { return ouverture_; }
    // Le fichier ouvert tel qu'il est maintenant (il a pu grandir, ou perdre son nom).
    std::optional<EmpreinteFichier> EmpreinteActuelle() const;

    // Vrai dès l'ouverture d'un fichier vide ; vrai après lecture ou saut de la dernière ligne.
    bool FinFichier();
    // La ligne suivante sans sa fin de ligne ; la vue reste valable jusqu'à l'appel suivant.
    std::string_view LireLigne();
    // Vrai si la dernière ligne lue ne tenait pas dans le tampon : CederLigneLongue la rend
    // alors sans la copier (la vue de LireLigne n'est plus valable ensuite).
    bool LigneLongue() const { return ligneLongue_; }
    std::string CederLigneLongue() {
        ligneLongue_ = false;
        return std::move(longue_);
    }
    // Les maximum premiers octets de la ligne suivante, qui est passée en entier : une ligne
    // démesurée n'entre pas en mémoire.
    std::string LireDebutDeLigne(std::size_t maximum);
    // La ligne suivante, comme LireLigne, mais d'une ligne qui ne tient pas dans le tampon seuls
    // les maximum premiers octets sont rendus (le reste est passé) : la mémoire reste celle du
    // tampon quelle que soit la longueur des lignes.
    std::string_view LireLigneBornee(std::size_t maximum);
    // Les lignes entières qui suivent, d'un coup : du début de la ligne suivante jusqu'après la
    // dernière fin de ligne du tampon, fins de ligne comprises (un CR LF coupé entre deux
    // remplissages est avalé ensuite). Vide à la fin du fichier, et quand la ligne suivante ne
    // finit pas dans le tampon (plus longue que lui, ou dernière sans fin de ligne) : LireLigne
    // ou LireLigneBornee la lit alors. La vue reste valable jusqu'à l'appel suivant.
    std::string_view LireLignesEntieres();
    // Nombre de lignes restantes, lues jusqu'au bout : autant que de lectures de ligne.
    // Avec arret, le comptage s'interrompt dès que le drapeau passe à vrai (le compte rendu est
    // alors partiel).
    std::uint64_t CompterLignes(const std::atomic<bool>* arret = nullptr);

    // Vrai, une fois la fin atteinte, si le fichier s'est arrêté avant la taille qu'il avait à
    // l'ouverture : un autre programme l'a tronqué pendant la lecture.
    bool Raccourci();
    // Vrai si une lecture a échoué (erreur d'entrée-sortie) ; Raison() la décrit.
    bool ErreurLecture() const { return codeErreur_ != 0; }
    std::string Raison() const { return RaisonSysteme(codeErreur_); }

private:
    // Au bout du fichier, reste une ligne sans fin de ligne : vrai si elle compte (voir
    // AttendreLignesAchevees). Décidé une fois pour toutes.
    bool LigneFinaleAchevee();
    // Note apresDerniereFin_ d'après le contenu du tampon.
    void NoterDerniereFin();
    // Passe une ligne exactement comme une lecture le ferait.
    void SauterLigne();
    // Recharge le tampon (et, avec marquer, marque ses fins de ligne) ; faux à la fin du fichier.
    bool Remplir(bool marquer = true);
    // Position de la première fin de ligne à partir de depuis, ou fin_ s'il n'y en a pas.
    std::size_t ProchaineFin(std::size_t depuis) const;
    void PasserLF(); // après un CR en fin de tampon, avale le LF qui le suit éventuellement
    // Octets de la ligne en cours après le tampon, jusqu'à sa fin de ligne ; la position dans
    // le fichier ne change pas.
    std::size_t MesurerSuiteDeLigne();

    std::FILE* fichier_ = nullptr;
    std::vector<char> tampon_;
    std::size_t debut_ = 0;              // premier octet non consommé
    std::size_t fin_ = 0;                // fin des octets valides
    std::size_t apresDerniereFin_ = 0;   // juste après la dernière fin de ligne du tampon, ou 0
    std::vector<std::uint64_t> marques_; // fins de ligne du tampon, un bit par octet
    std::size_t marquesValides_ = 0;     // octets du tampon couverts par marques_
    bool finAtteinte_ = false;
    bool crEnAttente_ = false; // un CR vient de finir une ligne : un LF qui suit lui appartient
    int codeErreur_ = 0;
    std::string longue_; // ligne à cheval sur plusieurs remplissages
    bool ligneLongue_ = false;
    long long tailleOuverture_ = -1; // taille à l'ouverture d'un fichier ordinaire, sinon -1
    std::optional<EmpreinteFichier> ouverture_;
    std::uint64_t lu_ = 0; // position dans le fichier après le dernier remplissage
    bool auBout_ = false;  // tout ce qu'il y a à lire est dans le tampon (ou consommé)
    int sortFinale_ = -1; // sort de la ligne inachevée : -1 pas encore décidé, 0 laissée, 1 lue
    std::uint64_t laisses_ = 0;
    Horloge* horloge_ = nullptr;
    std::chrono::milliseconds delai_{0};
};

// Lit la dernière ligne du fichier en partant de sa fin, selon les mêmes règles de fin de ligne
// que LecteurTexte ; faux si le fichier ne peut pas être lu ou est vide. Seuls les maximum
// premiers octets de la ligne sont rendus.
bool LireDerniereLigne(const NomFichier& chemin, std::string& ligne,
                       std::size_t maximum = std::string::npos, std::string* raison = nullptr);

} // namespace vek
