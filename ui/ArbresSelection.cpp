#include "ArbresSelection.h"

#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "ChampsDeDate.h"
#include "SuiviRecherche.h"
#include "TexteQt.h"

namespace {

// Les octets exacts du texte d'un nœud (Windows-1252), pas un réencodage du texte affiché.
constexpr int RoleOctets = Qt::UserRole;

QByteArray Octets(std::string_view texte) {
    return {texte.data(), static_cast<qsizetype>(texte.size())};
}

QByteArray OctetsDe(const QTreeWidgetItem* noeud) {
    return noeud->data(0, RoleOctets).toByteArray();
}

QTreeWidgetItem* Noeud(std::string_view texte, Qt::CheckState etat) {
    auto* noeud = new QTreeWidgetItem;
    noeud->setText(0, DepuisCp1252(texte));
    noeud->setToolTip(0, noeud->text(0)); // un nom trop long pour l'arbre s'y lit en entier
    noeud->setData(0, RoleOctets, Octets(texte));
    noeud->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    noeud->setCheckState(0, etat);
    return noeud;
}

// L'état d'un nœud nouveau : celui de la case « Sélectionnez… » quand elle est cochée.
Qt::CheckState EtatNouveau(const QCheckBox* caseTous) {
    return caseTous->checkState() == Qt::Checked ? Qt::Checked : Qt::Unchecked;
}

std::vector<std::string_view> Textes(const vek::Catalogue& catalogue,
                                     ArbresSelection::Arbre arbre) {
    std::vector<std::string_view> textes = arbre == ArbresSelection::Arbre::Noms
                                               ? vek::NoeudsNoms(catalogue)
                                               : vek::NoeudsChannels(catalogue);
    TrierNoeuds(textes);
    return textes;
}

} // namespace

ArbresSelection::ArbresSelection(const Controles& controles) : c_(controles) {
    PoserFocus();
}

void ArbresSelection::PoserFocus() const {
    for (QTreeWidget* arbre : {c_.noms, c_.channels})
        arbre->setFocusPolicy(arbre->topLevelItemCount() > 0 ? Qt::StrongFocus : Qt::NoFocus);
}

QTreeWidget* ArbresSelection::Controle(Arbre arbre) const {
    return arbre == Arbre::Noms ? c_.noms : c_.channels;
}

QCheckBox* ArbresSelection::Case(Arbre arbre) const {
    return arbre == Arbre::Noms ? c_.toutLeMonde : c_.tousLesChannels;
}

void ArbresSelection::Remplir(const vek::Catalogue& catalogue) {
    for (const Arbre arbre : {Arbre::Channels, Arbre::Noms}) {
        QList<QTreeWidgetItem*> noeuds;
        for (const std::string_view texte : Textes(catalogue, arbre))
            noeuds.append(Noeud(texte, Qt::Unchecked));
        Controle(arbre)->clear();
        Controle(arbre)->addTopLevelItems(noeuds);
        // La case dit l'état de l'arbre neuf : rien de coché.
        Case(arbre)->setChecked(false);
    }
    PoserFocus();
}

void ArbresSelection::Prolonger(const vek::Catalogue& catalogue) {
    QHash<QByteArray, Qt::CheckState> coches[2];
    Qt::CheckState cases[2];
    for (const Arbre arbre : {Arbre::Noms, Arbre::Channels}) {
        const auto i = static_cast<std::size_t>(arbre);
        const QTreeWidget* t = Controle(arbre);
        for (int n = 0; n < t->topLevelItemCount(); ++n)
            coches[i].insert(OctetsDe(t->topLevelItem(n)), t->topLevelItem(n)->checkState(0));
        cases[i] = Case(arbre)->checkState();
    }
    Remplir(catalogue);
    for (const Arbre arbre : {Arbre::Noms, Arbre::Channels}) {
        const auto i = static_cast<std::size_t>(arbre);
        {
            // La case reprend son état sans recocher tout l'arbre.
            const QSignalBlocker bloque(Case(arbre));
            Case(arbre)->setCheckState(cases[i]);
        }
        const Qt::CheckState nouveau = EtatNouveau(Case(arbre));
        QTreeWidget* t = Controle(arbre);
        for (int n = 0; n < t->topLevelItemCount(); ++n) {
            QTreeWidgetItem* noeud = t->topLevelItem(n);
            noeud->setCheckState(0, coches[i].value(OctetsDe(noeud), nouveau));
        }
    }
}

void ArbresSelection::AjouterNouveaux(const vek::Catalogue& catalogue) {
    for (const Arbre arbre : {Arbre::Channels, Arbre::Noms}) {
        QTreeWidget* t = Controle(arbre);
        const std::vector<std::string_view> textes =
            arbre == Arbre::Noms ? vek::NoeudsNoms(catalogue) : vek::NoeudsChannels(catalogue);
        if (static_cast<int>(textes.size()) == t->topLevelItemCount())
            continue; // rien de nouveau : un regard ordinaire ne trie rien
        const std::vector<std::string_view> tries = Textes(catalogue, arbre);
        const Qt::CheckState etat = EtatNouveau(Case(arbre));
        for (int i = 0; i < static_cast<int>(tries.size()); ++i) {
            const std::string_view texte = tries[static_cast<std::size_t>(i)];
            const QTreeWidgetItem* present = t->topLevelItem(i);
            if (!present || OctetsDe(present) != Octets(texte))
                t->insertTopLevelItem(i, Noeud(texte, etat));
        }
    }
    PoserFocus();
}

void ArbresSelection::CocherTout(Arbre arbre) {
    const Qt::CheckState etat = Case(arbre)->checkState();
    if (etat == Qt::PartiallyChecked)
        return; // grisée : rien
    QTreeWidget* t = Controle(arbre);
    for (int i = 0; i < t->topLevelItemCount(); ++i)
        t->topLevelItem(i)->setCheckState(0, etat);
}

vek::Selection ArbresSelection::Selection() const {
    vek::Selection selection;
    for (const Arbre arbre : {Arbre::Channels, Arbre::Noms}) {
        const QTreeWidget* t = Controle(arbre);
        for (int i = 0; i < t->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* n = t->topLevelItem(i);
            if (n->checkState(0) != Qt::Checked)
                continue;
            const std::string octets = OctetsDe(n).toStdString();
            if (arbre == Arbre::Noms)
                selection.AjouterNom(octets);
            else
                selection.AjouterChannel(octets);
        }
    }
    return selection;
}

vek::SelectionSuivie ArbresSelection::SelectionAVenir() const {
    vek::SelectionSuivie future;
    future.selection = Selection();
    future.toutLeMonde = Case(Arbre::Noms)->checkState() == Qt::Checked;
    future.tousChannels = Case(Arbre::Channels)->checkState() == Qt::Checked;
    for (const Arbre arbre : {Arbre::Noms, Arbre::Channels}) {
        const QTreeWidget* t = Controle(arbre);
        for (int i = 0; i < t->topLevelItemCount(); ++i)
            (arbre == Arbre::Noms ? future.nomsConnus : future.channelsConnus)
                .insert(OctetsDe(t->topLevelItem(i)).toStdString());
    }
    return future;
}

std::optional<QString> ArbresSelection::RienARetenir() const {
    const vek::Selection selection = Selection();
    if (selection.NombreNoms() == 0)
        return QStringLiteral("Personne n'est coché dans « Présents : » : aucune ligne ne serait "
                              "retenue. Cochez les personnes de la scène (ou « Sélectionnez tout "
                              "le monde »).");
    if (selection.NombreChannels() == 0 && !selection.NomRetenu(vek::NomWhisps))
        return QStringLiteral("Aucun channel n'est coché dans « Channels : » : aucune ligne ne "
                              "serait retenue. Cochez les channels de la scène (« Zone de "
                              "proximité » pour ce qui se dit autour de vous), ou « Sélectionnez "
                              "tous les channels ».");
    return std::nullopt;
}

void ArbresSelection::NoterRecherche(const vek::Periode& periode,
                                     std::pair<QString, QString> textes) {
    periode_ = periode;
    textes_ = std::move(textes);
}

bool ArbresSelection::AJour(const ChampsDeDate& champs) const {
    if (!periode_)
        return true; // pas encore d'arbres : rien à comparer
    return champs.Textes() == textes_ || champs.Periode() == periode_;
}

void ArbresSelection::MontrerBilan(const ChampsDeDate& champs) const {
    if (!periode_)
        return;
    const QString texte = !perdu_.isEmpty() ? perdu_
                          : AJour(champs)   ? bilan_
                                            : TexteArbresPerimes(*periode_);
    c_.bilan->setText(texte);
    c_.bilan->setToolTip(texte);
}
