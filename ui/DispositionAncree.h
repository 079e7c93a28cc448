#pragma once
// Disposition ancrée : chaque contrôle garde la place que lui donne le plan de la fenêtre, à sa
// taille d'origine ; quand la fenêtre grandit, chacun de ses bords suit une part (0, ½ ou tout)
// de ce que la fenêtre a gagné en largeur ou en hauteur. Les contrôles sans ancre restent où ils
// sont ; la fenêtre ne descend pas sous sa taille d'origine.

#include <QLayout>
#include <QList>
#include <QRect>

// Les parts du gain de largeur (gauche, droite) et de hauteur (haut, bas) que suit chaque bord.
struct AncreDisposition {
    double gauche = 0, haut = 0, droite = 0, bas = 0;
};

class DispositionAncree : public QLayout {
public:
    using Ancre = AncreDisposition;
    static constexpr Ancre Fixe{};
    static constexpr Ancre EnBas{0, 1, 0, 1};
    static constexpr Ancre EnBasADroite{1, 1, 1, 1};

    // Reprend les enfants directs de parent à leur place du moment, sans ancre, et prend leur
    // place d'origine pour celle de parent.
    explicit DispositionAncree(QWidget* parent);
    ~DispositionAncree() override;

    void Ancrer(QWidget* controle, Ancre ancre);

    void addItem(QLayoutItem* element) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(elements_.size()); }
    QSize sizeHint() const override { return taille_; }
    QSize minimumSize() const override { return taille_; }
    void setGeometry(const QRect& zone) override;

private:
    struct Element {
        QLayoutItem* element;
        QRect origine;
        Ancre ancre;
    };
    QList<Element> elements_;
    QSize taille_;
};
