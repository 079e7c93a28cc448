#include "FenetreConsole.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Cp1252.h"

namespace vek {

namespace {

std::size_t IndiceChamp(ChampTexte champ) {
    return static_cast<std::size_t>(champ);
}
std::size_t IndiceArbre(Arbre arbre) {
    return static_cast<std::size_t>(arbre);
}
std::size_t IndiceCase(CaseACocher c) {
    return static_cast<std::size_t>(c);
}

// Largeur à l'écran d'un texte UTF-8 : un caractère par octet qui n'est pas un octet de suite.
std::size_t LargeurUtf8(std::string_view texte) {
    return static_cast<std::size_t>(std::count_if(texte.begin(), texte.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

FenetreConsole::FenetreConsole(std::ostream& erreur, bool progression)
    : erreur_(erreur), progression_(progression) {}

FenetreConsole::~FenetreConsole() {
    Effacer();
}

void FenetreConsole::DefinirEtape(std::string_view libelle) {
    Effacer();
    etape_ = libelle;
    appels_ = 0;
    compteur_ = 0.0;
    dernierDessin_ = std::chrono::steady_clock::now();
}

void FenetreConsole::TerminerEtape() {
    Effacer();
    etape_.clear();
}

const std::vector<NoeudArbre>& FenetreConsole::Noeuds(Arbre arbre) const {
    return arbres_[IndiceArbre(arbre)];
}

void FenetreConsole::DefinirCase(CaseACocher caseACocher, int valeur) {
    cases_[IndiceCase(caseACocher)] = valeur;
}

std::string FenetreConsole::LireTexte(ChampTexte champ) {
    return champs_[IndiceChamp(champ)];
}

void FenetreConsole::EcrireTexte(ChampTexte champ, std::string_view texte) {
    champs_[IndiceChamp(champ)] = texte;
}

void FenetreConsole::DefinirMaxProgression(float max) {
    max_ = max;
}
void FenetreConsole::DefinirValeurProgression(float valeur) {
    valeur_ = valeur;
}
void FenetreConsole::DefinirCompteur(double lignes) {
    compteur_ = lignes;
}

void FenetreConsole::ViderArbre(Arbre arbre) {
    arbres_[IndiceArbre(arbre)].clear();
}

void FenetreConsole::AjouterNoeud(Arbre arbre, std::string_view cle, std::string_view texte) {
    arbres_[IndiceArbre(arbre)].push_back(NoeudArbre{std::string(cle), std::string(texte), false});
}

int FenetreConsole::NombreNoeuds(Arbre arbre) {
    return static_cast<int>(arbres_[IndiceArbre(arbre)].size());
}

NoeudArbre& FenetreConsole::Noeud(Arbre arbre, int i) {
    auto& noeuds = arbres_[IndiceArbre(arbre)];
    if (i < 1 || static_cast<std::size_t>(i) > noeuds.size())
        throw std::out_of_range("numéro de nœud hors de l'arbre");
    return noeuds[static_cast<std::size_t>(i) - 1];
}

bool FenetreConsole::NoeudCoche(Arbre arbre, int i) {
    return Noeud(arbre, i).coche;
}
void FenetreConsole::CocherNoeud(Arbre arbre, int i, bool coche) {
    Noeud(arbre, i).coche = coche;
}
std::string FenetreConsole::TexteNoeud(Arbre arbre, int i) {
    return Noeud(arbre, i).texte;
}

int FenetreConsole::ValeurCase(CaseACocher caseACocher) {
    return cases_[IndiceCase(caseACocher)];
}

void FenetreConsole::ActiverCreerLog() {
    creerLogActive_ = true;
}

bool FenetreConsole::TraiterEvenements() {
    // Appelé à chaque ligne : l'horloge n'est consultée qu'une fois toutes les 4096 lignes.
    if (progression_ && (++appels_ & MasqueAppels) == 0)
        Rafraichir();
    return true;
}

void FenetreConsole::DefinirPointeur(Pointeur) {}

void FenetreConsole::OuvrirFenetreAnalyse() {
    resume_.clear();
}

void FenetreConsole::DefinirResumeAnalyse(std::string_view texte) {
    resume_ = texte;
}

void FenetreConsole::Message(std::string_view texte, std::string_view, Icone) {
    Effacer();
    erreur_ << "vek-extraire : " << Cp1252VersUtf8(texte) << '\n';
    erreur_.flush();
}

void FenetreConsole::Rafraichir() {
    const auto maintenant = std::chrono::steady_clock::now();
    if (maintenant - dernierDessin_ < Intervalle)
        return;
    dernierDessin_ = maintenant;
    Dessiner();
}

void FenetreConsole::Dessiner() {
    constexpr int LargeurBarre = 30;
    double part = max_ > 0.0f ? static_cast<double>(valeur_) / static_cast<double>(max_) : 0.0;
    part = std::clamp(part, 0.0, 1.0);
    const int pleins = static_cast<int>(part * LargeurBarre);
    std::string ligne = etape_.empty() ? std::string("Progression") : etape_;
    ligne += " [";
    ligne.append(static_cast<std::size_t>(pleins), '#');
    ligne.append(static_cast<std::size_t>(LargeurBarre - pleins), '.');
    ligne += "] ";
    ligne += std::to_string(static_cast<int>(part * 100.0));
    ligne += " %";
    if (compteur_ > 0.0) {
        ligne += "  ";
        ligne += std::to_string(static_cast<long long>(std::llround(compteur_)));
        ligne += " lignes lues";
    }
    const std::size_t largeur = LargeurUtf8(ligne);
    erreur_ << '\r' << ligne;
    if (largeur < largeurAffichee_)
        erreur_ << std::string(largeurAffichee_ - largeur, ' ');
    erreur_.flush();
    largeurAffichee_ = std::max(largeur, largeurAffichee_);
}

void FenetreConsole::Effacer() {
    if (largeurAffichee_ == 0)
        return;
    erreur_ << '\r' << std::string(largeurAffichee_, ' ') << '\r';
    erreur_.flush();
    largeurAffichee_ = 0;
}

} // namespace vek
