#pragma once
// Disposition ancrée : chaque contrôle garde la place que lui donne le plan de la fenêtre, à sa
// taille d'origine ; quand la fenêtre grandit, chacun de ses bords suit une part (0, ½ ou tout)
// de ce que la fenêtre a gagné en largeur ou en hauteur. Les contrôles sans ancre restent où ils
// sont. La fenêtre ne descend sous sa taille d'origine que d'une marge permise : chaque bord suit
// alors sa part de la perte, comme d'un gain, ou en hauteur celle qui lui est donnée pour une
// perte.

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
    // Les parts d'une perte de hauteur que suivent le haut et le bas du contrôle, quand la
    // disposition est plus basse que le plan (sinon, celles de son ancre).
    void AncrerPerte(QWidget* controle, double haut, double bas);
    // Ce que la disposition peut perdre sous le plan, en largeur et en hauteur.
    void PermettreRetrecir(QSize marge) { marge_ = marge; }

    void addItem(QLayoutItem* element) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(elements_.size()); }
    QSize sizeHint() const override { return taille_; }
    QSize minimumSize() const override { return taille_ - marge_; }
    void setGeometry(const QRect& zone) override;

private:
    struct Element {
        QLayoutItem* element;
        QRect origine;
        Ancre ancre;
        double perteHaut, perteBas; // sous le plan
    };
    QList<Element> elements_;
    QSize taille_;
    QSize marge_{0, 0};
};
