#pragma once
// Boîte « À propos » : titre, version, description, avertissement, et le bouton qui démarre
// l'outil d'informations système. Une seule instance pour tout le programme, rechargée à chaque
// affichage.

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "InfoSysteme.h"

class QKeyEvent;

namespace Ui {
class frmAbout;
}

// Les services du lanceur d'informations système pour un programme à fenêtres : démarrage du
// système, message montré par-dessus la fenêtre modale active (sinon la fenêtre donnée, sinon la
// fenêtre active).
class ServicesInfoSystemeFenetres : public vek::ServicesInfoSystemeNatifs {
public:
    // Montre la boîte de message (par défaut une QMessageBox sans icône, bouton OK) ; remplacé
    // dans les tests.
    using Afficheur =
        std::function<void(QWidget* parent, const QString& texte, const QString& titre)>;

    explicit ServicesInfoSystemeFenetres(Afficheur afficheur = {}, QWidget* dessous = nullptr);
    void Message(std::string_view texte, std::string_view titre) override;

private:
    Afficheur afficheur_;
    QWidget* parent_;
};

class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Depuis le menu « ? » : l'instance partagée (créée au premier usage), chargée puis
    // montrée modale ; rend la main quand elle est fermée. « Infos système... » appelle
    // infoSysteme, la boîte restant ouverte.
    static void Afficher(QWidget* parent, std::function<void()> infoSysteme);
    // L'instance partagée, ou nullptr avant le premier usage (ou après la fin de son parent).
    static frmAbout* Instance();

    ~frmAbout() override;

protected:
    // Échap active « OK », qui est aussi le bouton d'annulation.
    void keyPressEvent(QKeyEvent* evenement) override;

private slots:
    void EtatInitial();
    void Fermer();
    void LancerInfoSysteme();

private:
    explicit frmAbout(QWidget* parent);
    // Remet la disposition d'origine, puis agrandit les étiquettes dont le texte ne tient pas
    // dans la police disponible (les contrôles du dessous descendent d'autant).
    void AjusterAuxTextes();

    std::unique_ptr<Ui::frmAbout> ui;
    std::function<void()> infoSysteme_;
    QSize tailleDessin_;
    std::vector<std::pair<QWidget*, QRect>> dessin_; // position d'origine de chaque contrôle

    static QPointer<frmAbout> instance_;
};
