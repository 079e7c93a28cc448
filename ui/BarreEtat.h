#pragma once
// La barre d'état de la fenêtre principale : après chaque sortie écrite, si un programme du
// bureau a été chargé de l'ouvrir, son chemin complet sur une seconde ligne, et « Ouvrir le
// dossier » ; entre-temps, les courts avis de la fenêtre. Le texte reste jusqu'au suivant. Un avis
// passe à la ligne entre deux mots, sur deux lignes au plus, et finit par « … » après un mot
// entier s'il ne tient pas ; un chemin trop long est raccourci au milieu. Le texte est entier dans
// la bulle d'aide.

#include <QStatusBar>

#include <functional>

class QAction;
class QLabel;

class BarreEtat final : public QStatusBar {
    Q_OBJECT

public:
    // Ouvre un dossier avec le gestionnaire de fichiers du bureau ; faux si aucun n'a démarré.
    using OuvreurDossier = std::function<bool(const QString& dossier)>;

    explicit BarreEtat(OuvreurDossier ouvreur, QWidget* parent = nullptr);
    ~BarreEtat() override;

    // Un court avis, qui remplace le texte précédent (« Ouvrir le dossier » disparaît).
    void Annoncer(const QString& texte);

    // La ligne qui précède le chemin, selon qu'un programme du bureau a démarré ou non.
    struct Sortie {
        QString ouverte;
        QString nonOuverte;
    };
    // Après une sortie écrite : chemin complet (natif), et ouvert dit si un programme du bureau
    // a démarré pour elle.
    void SignalerEcriture(const Sortie& sortie, const QString& chemin, bool ouvert);

    // Le texte entier (celui de la bulle d'aide), et les lignes montrées à la largeur du moment.
    QString Texte() const;
    QStringList Lignes() const;
    // Le dossier que « Ouvrir le dossier » ouvrirait ; vide avant la première sortie.
    QString DossierSortie() const { return dossier_; }

private:
    void OuvrirDossier();

    OuvreurDossier ouvreur_;
    QLabel* texte_;
    QAction* ouvrirDossier_;
    QWidget* boutonDossier_;
    QString dossier_;
};
