#pragma once
// Accès aux fichiers texte : octets bruts (une page de code à un octet), sans marque d'ordre.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek {

// Raison d'un échec du système, en français (UTF-8), à partir d'un code errno.
std::string RaisonSysteme(int code);
#ifdef _WIN32
// La même, à partir d'un code de GetLastError.
std::string RaisonWindows(unsigned long code);
#endif

// Lecteur tamponné. Une ligne se termine par CR LF, LF seul ou CR seul ; une fin de ligne tout
// au bout du fichier n'ouvre pas de ligne de plus ; une dernière ligne sans fin de ligne reste une
// ligne. Aucune allocation par ligne en régime établi (seule une ligne plus longue que le tampon
// est recopiée dans une zone qui grandit).
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
    bool Ouvrir(const std::string& chemin);
    void Fermer();
    bool EstOuvert() const { return fichier_ != nullptr; }

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
    // Passe une ligne exactement comme une lecture le ferait.
    void SauterLigne();
    // Nombre de lignes restantes, lues jusqu'au bout : autant que d'appels à SauterLigne.
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
    std::vector<std::uint64_t> marques_; // fins de ligne du tampon, un bit par octet
    std::size_t marquesValides_ = 0;     // octets du tampon couverts par marques_
    bool finAtteinte_ = false;
    bool crEnAttente_ = false; // un CR vient de finir une ligne : un LF qui suit lui appartient
    int codeErreur_ = 0;
    std::string longue_; // ligne à cheval sur plusieurs remplissages
    bool ligneLongue_ = false;
    long long tailleOuverture_ = -1; // taille à l'ouverture d'un fichier ordinaire, sinon -1
};

// Écrivain tamponné : écrit les octets tels quels ; les appelants ajoutent CR LF eux-mêmes.
class EcrivainTexte {
public:
    EcrivainTexte();
    ~EcrivainTexte();
    EcrivainTexte(const EcrivainTexte&) = delete;
    EcrivainTexte& operator=(const EcrivainTexte&) = delete;

    bool Creer(const std::string& chemin); // crée ou vide le fichier
    // Crée un fichier qui n'existe pas encore, sans suivre de lien ; faux (EEXIST) si le nom est
    // déjà pris, par un fichier ou par un lien.
    bool CreerNeuf(const std::string& chemin);
    // Ouvre un fichier existant pour le réécrire depuis le début sans le vider d'abord : ses
    // pages en mémoire et ses blocs sur le disque resservent. Fermer coupe ce qui dépasse de ce
    // qui a été écrit. Faux si le fichier n'existe pas ou ne s'ouvre pas en écriture.
    bool Reprendre(const std::string& chemin);
    void Ecrire(std::string_view texte);
    void EcrireLigne(std::string_view texte); // texte puis CR LF
    // Vide le tampon et ferme ; faux si une écriture ou la fermeture a échoué.
    bool Fermer();
    // Vide le tampon et attend que tout soit sur le disque (fsync) ; faux en cas d'échec. Un
    // fichier créé par CreerNeuf part vers le disque au fil de l'écriture : il n'en reste alors
    // que la fin à attendre.
    bool Synchroniser();
    bool EstOuvert() const { return fichier_ != nullptr; }
    bool EnErreur() const { return codeErreur_ != 0; }
    std::string Raison() const { return RaisonSysteme(codeErreur_); }

private:
    void Vider();
    void Repartir(); // ferme le fichier éventuel et remet l'état à zéro
    bool OuvrirFichier(const std::string& chemin, const char* mode);
    std::FILE* fichier_ = nullptr;
    std::vector<char> tampon_;
    std::size_t rempli_ = 0;
    std::uint64_t ecrits_ = 0; // octets remis au système depuis l'ouverture
    bool repris_ = false;      // ouvert par Reprendre : la fin de l'ancien contenu reste à couper
    void PousserVersLeDisque();
    void RemettreAuSysteme();   // vide le tampon, puis celui de la bibliothèque C
    std::uint64_t pousses_ = 0; // octets dont l'écriture sur le disque est déjà lancée
    bool neuf_ = false;         // créé par CreerNeuf
    int codeErreur_ = 0;
};

// Écriture d'un fichier sous un nom temporaire du même dossier, renommé sur la cible une fois
// complet : un échec ne laisse jamais de fichier à moitié écrit, l'ancien reste tel quel.
//
// OuvrirEnPlace sert aux fichiers de travail du programme, qu'on peut perdre mais qu'on réécrit
// souvent en entier : la cible existante est réécrite sur place (ni nouvelles pages ni
// suppression de l'ancien fichier à payer). Un échec ou un abandon supprime alors la cible,
// dont le contenu serait un mélange de l'ancien et du nouveau. Une cible absente ou impossible
// à rouvrir en écriture est écrite comme avec Ouvrir.
class EcritureAtomique {
public:
    ~EcritureAtomique(); // abandonne si ni Valider ni Abandonner n'ont été appelés

    bool Ouvrir(const std::string& cible);
    bool OuvrirEnPlace(const std::string& cible);
    EcrivainTexte& Flux() { return ecrivain_; }
    bool Valider();    // ferme, puis remplace la cible (même en lecture seule)
    void Abandonner(); // ferme et supprime le fichier temporaire (la cible, en place)
    bool EnPlace() const { return enPlace_; }
    const std::string& Raison() const { return raison_; }
    // Le fichier en cause lors du dernier échec (la cible ou le fichier temporaire).
    const std::string& FichierEnCause() const { return fichierEnCause_; }

private:
    EcrivainTexte ecrivain_;
    std::string cible_;
    std::string temporaire_;
    std::string raison_;
    std::string fichierEnCause_;
    bool ouvert_ = false;
    bool enPlace_ = false;
    bool cibleExistait_ = false;
};

// Ce que désigne un nom, sans suivre de lien.
enum class GenreFichier { Ordinaire, Lien, Dossier, Tube, Peripherique, Autre };
std::optional<GenreFichier> GenreDuNom(const std::string& chemin); // rien : nom libre
std::string DescriptionGenre(GenreFichier genre);                  // « c'est un tube nommé »

// Les fichiers temporaires d'une sortie s'appellent « sortie.tmp-<processus>-<hasard> ».
inline constexpr std::string_view SuffixeTemporaire = ".tmp-";

namespace essai {
// Un code d'erreur du système que prendra le prochain remplacement d'une sortie (0 : aucun) ;
// les tests s'en servent pour faire échouer le renommage final.
inline int EchecRemplacement = 0;
} // namespace essai

// Ce qui identifie l'état d'un fichier : s'il change (ajout, réécriture, remplacement), son
// empreinte change.
struct EmpreinteFichier {
    std::uint64_t taille = 0;
    std::uint64_t modification = 0; // en nanosecondes
    std::uint64_t noeud = 0;
    std::uint64_t volume = 0;
    friend bool operator==(const EmpreinteFichier&, const EmpreinteFichier&) = default;
};
// L'empreinte d'un fichier ordinaire (liens suivis) ; rien s'il n'existe pas ou n'est pas un
// fichier ordinaire.
std::optional<EmpreinteFichier> LireEmpreinte(const std::string& chemin);

bool FichierExiste(const std::string& chemin); // vrai seulement pour un fichier existant
// Retire de la mémoire du système les pages du fichier déjà écrites sur le disque ; son contenu
// ne change pas. Sans effet là où le système ne le permet pas.
void OublierPagesEnMemoire(const std::string& chemin);
// Supprime le fichier, même en lecture seule ; vrai si le fichier n'existe plus ensuite.
bool SupprimerFichier(const std::string& chemin, std::string* raison = nullptr);
// Renomme source sur cible en remplaçant une cible existante, même en lecture seule.
bool RemplacerFichier(const std::string& source, const std::string& cible,
                      std::string* raison = nullptr);

// Lit la dernière ligne du fichier en partant de sa fin, selon les mêmes règles de fin de ligne
// que LecteurTexte ; faux si le fichier ne peut pas être lu ou est vide. Seuls les maximum
// premiers octets de la ligne sont rendus.
bool LireDerniereLigne(const std::string& chemin, std::string& ligne,
                       std::size_t maximum = std::string::npos, std::string* raison = nullptr);

// Dossier + séparateur + nom (séparateur du système).
std::string JoindreChemin(const std::string& dossier, std::string_view nom);

// Le dossier du programme, sans séparateur final : celui de l'exécutable quand on peut y
// écrire, sinon le dossier de données de l'utilisateur ($XDG_DATA_HOME/vek-log,
// %LOCALAPPDATA%\VEK_Log), créé au besoin.
std::string RepertoireProgramme();
// Le dossier de l'exécutable lui-même.
std::string RepertoireExecutable();
bool DossierAccessibleEnEcriture(const std::string& dossier);

} // namespace vek
