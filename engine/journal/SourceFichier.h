#pragma once
// Une source de lignes d'un seul journal : le fichier lu ligne à ligne, depuis son début ou
// depuis la fin d'une lecture précédente, avec son témoin (le journal remplacé ou réécrit
// pendant la lecture fait échouer la passe) et l'attente des lignes que le jeu n'a pas finies.

#include <chrono>

#include "Horloge.h"
#include "Lecture.h"
#include "SourceLignes.h"
#include "TemoinJournal.h"

namespace vek {

class SourceFichier final : public SourceLignes {
public:
    // delaiInachevee : une dernière ligne sans fin de ligne n'est lue que si le journal n'a pas
    // changé depuis ce délai (le jeu écrit chaque ligne en deux fois), mesuré par horloge.
    SourceFichier(NomFichier chemin, Horloge& horloge, std::chrono::milliseconds delaiInachevee);

    const std::vector<NomFichier>& Journaux() const override { return journaux_; }
    Resultat Ouvrir(const LectureLue* precedente = nullptr) override;
    std::optional<std::string> RaisonDeToutRelire(const LectureLue& precedente) const override;

    bool FinFichier() override { return lecteur_.FinFichier(); }
    std::string_view LireLigne() override {
        const std::string_view ligne = lecteur_.LireLigne();
        derniere_ = ligne.size();
        ++lues_;
        return ligne;
    }
    bool LigneLongue() const override { return lecteur_.LigneLongue(); }
    std::string CederLigneLongue() override { return lecteur_.CederLigneLongue(); }
    std::uint64_t NumeroDeLaLigne() const override { return lues_; }

    Resultat Verifier() override;
    LectureLue Lu() const override;
    void Fermer() override { lecteur_.Fermer(); }
    std::vector<JournalDeSource> JournauxLus() const override {
        JournalDeSource j;
        j.chemin = Chemin();
        j.avance = 0;
        return {j};
    }

    // Ce qui a été lu de ce journal (LuDUnJournal), et la reprise d'un seul journal.
    std::optional<LuDUnJournal> LuDuJournal() const;
    Resultat OuvrirDepuis(const LuDUnJournal* precedente);
    std::optional<std::string> RaisonDeToutRelire(const LuDUnJournal& precedente) const;

    const NomFichier& Chemin() const { return journaux_.front(); }

private:
    std::vector<NomFichier> journaux_;
    Horloge& horloge_;
    std::chrono::milliseconds delai_;
    LecteurTexte lecteur_;
    TemoinJournal temoin_;
    std::uint64_t derniere_ = 0; // la taille de la dernière ligne lue
    std::uint64_t lues_ = 0;
};

} // namespace vek
