#pragma once
// Le dialogue d'ouverture du journal : celui que Qt dessine (jamais celui du bureau, qui tient
// sa propre liste de fichiers récents), en français dans chaque colonne, assez large pour ne
// couper aucun texte usuel, ouvert dans le dossier du journal du champ. Il ne retient rien d'une
// exécution à l'autre : Qt n'a aucun fichier de réglages où écrire l'historique, le dernier
// dossier ou la largeur des colonnes.

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// Ce que la fenêtre demande au dialogue d'ouverture.
struct DemandeOuverture {
    QString titre;
    QStringList filtres;  // le premier est choisi à l'ouverture
    QString extension;    // ajoutée à un nom tapé sans extension
    QString cheminActuel; // le journal du champ : le dialogue s'ouvre dans son dossier
};

// Le filtre qui suit toujours celui du journal.
inline const QString FiltreTousLesFichiers = QStringLiteral("Tous les fichiers (*)");

// À appeler une fois, avant tout dialogue : les réglages de Qt (QSettings) ne lisent ni
// n'écrivent plus aucun fichier, ni dans le dossier personnel ni dans celui du système.
void InterdireReglagesQt();

// Construit le dialogue, prêt à être montré (les tests le pilotent sans l'exécuter).
QFileDialog* CreerDialogueJournal(QWidget* parent, const DemandeOuverture& demande);

// Montre le dialogue, modal ; rend le nom choisi (natif), ou le texte vide s'il est annulé. Un
// nom qui n'existe pas peut être tapé : l'analyse dira alors « Fichier introuvable ! ».
QString OuvrirDialogueJournal(QWidget* parent, const DemandeOuverture& demande);
