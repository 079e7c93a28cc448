#pragma once
// Générateur de journaux de discussion réalistes et déterministes, pour les mesures et le
// journal d'exemple : Windows-1252, lignes terminées par CR LF, date mois d'abord en tête.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vek {

struct JourCivil {
    int annee = 2001;
    int mois = 12;
    int jour = 1;
};

struct ParametresJournal {
    std::uint64_t lignes = 200;
    int locuteurs = 12;
    int channels = 4;
    std::uint64_t graine = 1;
    JourCivil debut{2001, 12, 24};
    JourCivil fin{2001, 12, 27};
};

// Lit « JJ/MM/AAAA » ; faux si ce n'est pas un jour du calendrier.
bool LireJourCivil(const std::string& texte, JourCivil& jour);

// Les noms de locuteurs et de channels que le générateur emploie, en Windows-1252 (les tags
// avec leurs crochets).
std::string NomLocuteur(int i);
std::string TagChannel(int i);

class GenerateurJournal {
public:
    explicit GenerateurJournal(const ParametresJournal& parametres);

    // Ajoute la ligne suivante, sans fin de ligne ; faux quand toutes sont écrites.
    bool LigneSuivante(std::string& ligne);

private:
    std::uint64_t Aleatoire();
    std::uint64_t Tirage(std::uint64_t n);        // 0 à n - 1
    std::size_t TirageAsymetrique(std::size_t n); // les premiers bien plus souvent
    void AjouterEnTete(std::string& ligne);
    void AjouterMessage(std::string& ligne);
    void AjouterNonDatee(std::string& ligne);

    ParametresJournal p_;
    std::uint64_t etat_;
    std::uint64_t numero_ = 0;
    std::int64_t premiereSeconde_ = 0;
    std::int64_t dureeSecondes_ = 0;
    std::int64_t jourAffiche_ = -1;
    std::string dateAffichee_; // « MM/JJ/AAAA » du jour en cours
    std::vector<std::string> noms_;
    std::vector<std::string> tags_;
    std::vector<std::string> tagsMajuscules_;
};

// Écrit tout le journal dans le fichier ; faux si une écriture échoue.
bool EcrireJournal(const ParametresJournal& parametres, std::FILE* sortie);
// Le journal entier en mémoire (petites tailles : essais).
std::string JournalEnTexte(const ParametresJournal& parametres);

} // namespace vek
