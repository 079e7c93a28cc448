#pragma once
// Les erreurs : la raison d'un échec du système en français, et le seul type d'échec que
// rendent le moteur et la plate-forme.

#include "Encodages.h"

#include <optional>
#include <string>
#include <utility>

namespace vek {

// Un code propre au programme (jamais errno) : le nom ne désigne pas un fichier ordinaire.
inline constexpr int CodePasFichierOrdinaire = -2;
// Un autre code propre au programme : Windows refuse de renommer un fichier qu'un autre programme
// tient ouvert (ou qui est protégé).
inline constexpr int CodeOuvertAilleurs = -3;
// Raison d'un échec du système, en français (UTF-8), à partir d'un code errno ; un code sans
// traduction donne son numéro, jamais le texte anglais de la bibliothèque C.
TexteUtf8 RaisonSysteme(int code);
#ifdef _WIN32
// La même, à partir d'un code de GetLastError.
TexteUtf8 RaisonWindows(unsigned long code);
#endif
// Le code errno de la dernière erreur ; EIO si la bibliothèque n'en a pas laissé.
int DernierCode();

// L'échec d'une opération, le seul type d'erreur du moteur et de la plate-forme : l'action, le
// fichier en cause et la raison donnée par le système, ou l'arrêt demandé. Les textes sont en
// UTF-8, sauf le chemin, dans l'encodage des noms de fichiers du système.
struct Resultat {
    bool ok = true;
    bool interrompu = false; // l'arrêt a été demandé : la passe s'est arrêtée
    TexteUtf8 action;        // « Impossible de lire le journal », …
    NomFichier fichier;
    TexteUtf8 raison;
    // Ce que la passe a fait d'elle-même avant d'échouer et qu'il faut dire quand même (une
    // validation qu'un programme tué avait laissée, reprise à la prise du dossier) ; vide sinon.
    TexteUtf8 avis;

    static Resultat Succes() { return {}; }
    static Resultat Echec(std::string action, std::string fichier, std::string raison);
    static Resultat Interruption();
    // L'échec d'une exception en cours de traitement (dans un bloc catch) : la mémoire épuisée
    // (std::bad_alloc) ou une autre erreur, rendue en français.
    static Resultat Exception(std::string action, std::string fichier);
    // « action « fichier » : raison. »
    std::string Message() const;
};

// Ce qu'une passe a trouvé, ou son échec.
template <class T> class Issue {
public:
    Issue(T valeur) : valeur_(std::move(valeur)) {}
    Issue(Resultat echec) : echec_(std::move(echec)) {}
    bool ok() const { return valeur_.has_value(); }
    const Resultat& Echec() const { return echec_; }
    T& operator*() { return *valeur_; }
    const T& operator*() const { return *valeur_; }
    T* operator->() { return &*valeur_; }
    const T* operator->() const { return &*valeur_; }

private:
    std::optional<T> valeur_;
    Resultat echec_;
};

} // namespace vek
