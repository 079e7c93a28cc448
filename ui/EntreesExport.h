#pragma once
// Les entrées de « Menu » qui produisent un format autre que LogFinal.txt : « Exporter en page
// web… », « Copier pour un forum », « Copier pour Discord… », chacune liée par son nom à un format
// de la table du moteur. Chacune lance une passe sur le fil de travail, comme « Créer le fichier
// log », et suit sa règle d'activation ; ce qu'elle fait du fichier écrit (l'ouvrir, le copier,
// en montrer les parties) est dit par la table des entrées.

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "Formats.h"

class QAction;
class QMenu;
class QWidget;

class EntreesExport : public QObject {
    Q_OBJECT

public:
    // Lance la passe qui écrit ce format ; suite reçoit le chemin du fichier écrit.
    using Lancer = std::function<void(const vek::Format& format,
                                      std::function<void(const std::string& chemin)> suite)>;

    // Les entrées sont posées dans menu, avant avant.
    EntreesExport(QMenu* menu, QAction* avant, Lancer lancer, QObject* parent = nullptr);

    // Les entrées, qui suivent la règle d'activation de « Créer le fichier log ».
    const std::vector<QAction*>& Actions() const { return actions_; }

    // Ce que font les entrées d'un fichier écrit, remplaçables pour les tests.
    std::function<void(const std::string& chemin)> ouvrir; // « Exporter en page web… »
    std::function<void(const QString& message)> annoncer;  // la barre d'état
    std::function<void(QWidget* parent, const QString& contenu)> montrerParties; // Discord

private:
    void Declencher(const vek::Format& format);
    // Met le texte dans le presse-papiers et le dit ; quoi : ce qui y est (« L'extrait pour un
    // forum »).
    void Copier(const QString& texte, const QString& quoi);
    std::vector<QAction*> actions_;
    Lancer lancer_;
    QMenu* menu_;
};

// Le contenu d'une sortie en UTF-8, lu en entier ; vide si elle ne se lit pas.
QString LireSortieUtf8(const std::string& chemin);
