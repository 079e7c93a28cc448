#include "OperationsFenetreQt.h"

#include "FrmPrincipal.h"
#include "ui_FrmPrincipal.h"

#include "TexteQt.h"

#include <QApplication>
#include <QByteArray>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// La barre de progression compte en entiers.
int EntierBarre(float valeur) {
    if (!(valeur > 0.0f))
        return 0;
    if (valeur >= static_cast<float>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(std::lround(valeur));
}

QByteArray Octets(std::string_view texte) {
    return {texte.data(), static_cast<qsizetype>(texte.size())};
}

} // namespace

OperationsFenetreQt::OperationsFenetreQt(FrmPrincipal& fenetre) : fenetre_(fenetre) {}

QLineEdit* OperationsFenetreQt::Champ(vek::ChampTexte champ) const {
    switch (champ) {
    case vek::ChampTexte::CheminLog:
        return fenetre_.ui->TxtCheminFichierLOg;
    case vek::ChampTexte::DateDebut:
        return fenetre_.ui->TxTDateDeb;
    case vek::ChampTexte::DateFin:
        return fenetre_.ui->TxTDateFin;
    }
    return fenetre_.ui->TxtCheminFichierLOg;
}

QTreeWidget* OperationsFenetreQt::Arbre(vek::Arbre arbre) const {
    return arbre == vek::Arbre::Channels ? fenetre_.ui->TreeViewChannels
                                         : fenetre_.ui->TreeViewNoms;
}

std::string OperationsFenetreQt::LireTexte(vek::ChampTexte champ) {
    const QString texte = Champ(champ)->text();
    return champ == vek::ChampTexte::CheminLog ? VersNomFichier(texte) : VersCp1252(texte);
}

void OperationsFenetreQt::EcrireTexte(vek::ChampTexte champ, std::string_view texte) {
    // setText ne signale un changement que si le texte change : le gestionnaire du champ
    // s'exécute alors avant le retour.
    Champ(champ)->setText(champ == vek::ChampTexte::CheminLog ? DepuisNomFichier(texte)
                                                              : DepuisCp1252(texte));
}

void OperationsFenetreQt::DefinirMaxProgression(float max) {
    fenetre_.ui->PrgBar->setMaximum(EntierBarre(max));
}

void OperationsFenetreQt::DefinirValeurProgression(float valeur) {
    if (enPasse_) {
        valeur_ = valeur;
        valeurEnAttente_ = true;
        return;
    }
    AppliquerValeur(valeur);
}

void OperationsFenetreQt::DefinirCompteur(double lignes) {
    if (enPasse_) {
        compteur_ = lignes;
        compteurEnAttente_ = true;
        return;
    }
    AppliquerCompteur(lignes);
}

void OperationsFenetreQt::AppliquerValeur(float valeur) {
    QProgressBar* barre = fenetre_.ui->PrgBar;
    barre->setValue(std::clamp(EntierBarre(valeur), barre->minimum(), barre->maximum()));
}

void OperationsFenetreQt::AppliquerCompteur(double lignes) {
    fenetre_.ui->LblCompteur->setText(QString::number(lignes, 'f', 0));
}

void OperationsFenetreQt::AppliquerEnAttente() {
    if (valeurEnAttente_)
        AppliquerValeur(valeur_);
    if (compteurEnAttente_)
        AppliquerCompteur(compteur_);
    valeurEnAttente_ = false;
    compteurEnAttente_ = false;
}

void OperationsFenetreQt::ViderArbre(vek::Arbre arbre) {
    Arbre(arbre)->clear();
}

void OperationsFenetreQt::AjouterNoeud(vek::Arbre arbre, std::string_view cle,
                                       std::string_view texte) {
    auto* noeud = new QTreeWidgetItem;
    noeud->setText(0, DepuisCp1252(texte));
    noeud->setData(0, RoleOctets, Octets(texte));
    noeud->setData(0, RoleCle, Octets(cle));
    noeud->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    noeud->setCheckState(0, Qt::Unchecked);
    Arbre(arbre)->addTopLevelItem(noeud);
}

int OperationsFenetreQt::NombreNoeuds(vek::Arbre arbre) {
    return static_cast<int>(Arbre(arbre)->topLevelItemCount());
}

bool OperationsFenetreQt::NoeudCoche(vek::Arbre arbre, int i) {
    const QTreeWidgetItem* noeud = Arbre(arbre)->topLevelItem(i - 1);
    return noeud && noeud->checkState(0) == Qt::Checked;
}

void OperationsFenetreQt::CocherNoeud(vek::Arbre arbre, int i, bool coche) {
    if (QTreeWidgetItem* noeud = Arbre(arbre)->topLevelItem(i - 1))
        noeud->setCheckState(0, coche ? Qt::Checked : Qt::Unchecked);
}

std::string OperationsFenetreQt::TexteNoeud(vek::Arbre arbre, int i) {
    const QTreeWidgetItem* noeud = Arbre(arbre)->topLevelItem(i - 1);
    if (!noeud)
        return {};
    // Les octets d'origine, pas un réencodage du texte affiché.
    return noeud->data(0, RoleOctets).toByteArray().toStdString();
}

int OperationsFenetreQt::ValeurCase(vek::CaseACocher caseACocher) {
    const QCheckBox* boite = caseACocher == vek::CaseACocher::TousChannels ? fenetre_.ui->CheckTLC
                                                                           : fenetre_.ui->CheckTLM;
    switch (boite->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

void OperationsFenetreQt::ActiverCreerLog() {
    fenetre_.ActiverCreerLog();
}

bool OperationsFenetreQt::TraiterEvenements() {
    if (fenetre_.quitte_)
        return false;
    if (!enPasse_) {
        QCoreApplication::processEvents();
        return !fenetre_.quitte_;
    }
    // Appelé à chaque ligne : ne coûte presque rien tant que l'intervalle n'est pas écoulé.
    if (++appels_ % LignesEntreLecturesHorloge != 0)
        return true;
    return TraiterEvenementsEnAttente();
}

bool OperationsFenetreQt::TraiterEvenementsEnAttente() {
    if (fenetre_.quitte_)
        return false;
    if (std::chrono::steady_clock::now() - dernierPassage_ < IntervalleEvenements)
        return true;
    AppliquerEnAttente();
    QCoreApplication::processEvents();
    dernierPassage_ = std::chrono::steady_clock::now();
    return !fenetre_.quitte_;
}

void OperationsFenetreQt::DebutPasse() {
    enPasse_ = true;
    appels_ = 0;
    valeurEnAttente_ = false;
    compteurEnAttente_ = false;
    // La passe de comptage n'a pas rendu la main : la première occasion sert tout de suite.
    dernierPassage_ = std::chrono::steady_clock::time_point{};
}

void OperationsFenetreQt::FinPasse() {
    AppliquerEnAttente();
    enPasse_ = false;
}

void OperationsFenetreQt::DefinirPointeur(vek::Pointeur pointeur) {
    if (pointeur == vek::Pointeur::Sablier) {
        if (!sablier_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        sablier_ = true;
    } else {
        if (sablier_)
            QApplication::restoreOverrideCursor();
        sablier_ = false;
    }
}

void OperationsFenetreQt::OuvrirFenetreAnalyse() {
    fenetre_.OuvrirFenetreAnalyse();
}

void OperationsFenetreQt::DefinirResumeAnalyse(std::string_view texte) {
    fenetre_.DefinirResumeAnalyse(DepuisCp1252(texte));
}

void OperationsFenetreQt::Message(std::string_view texte, std::string_view titre,
                                  vek::Icone icone) {
    if (fenetre_.afficheur_)
        fenetre_.afficheur_(&fenetre_, DepuisCp1252(texte), DepuisCp1252(titre), icone);
}
