#include "DispositionAncree.h"

#include <QWidget>
#include <QWidgetItem>

#include <cmath>

DispositionAncree::DispositionAncree(QWidget* parent) : QLayout(parent), taille_(parent->size()) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    for (QObject* enfant : parent->children())
        if (auto* controle = qobject_cast<QWidget*>(enfant); controle && !controle->isWindow())
            elements_.append({new QWidgetItem(controle), controle->geometry(), Fixe, 0, 0});
}

DispositionAncree::~DispositionAncree() {
    for (const Element& e : elements_)
        delete e.element;
}

void DispositionAncree::Ancrer(QWidget* controle, Ancre ancre) {
    for (Element& e : elements_)
        if (e.element->widget() == controle) {
            e.ancre = ancre;
            e.perteHaut = ancre.haut;
            e.perteBas = ancre.bas;
        }
}

void DispositionAncree::AncrerPerte(QWidget* controle, double haut, double bas) {
    for (Element& e : elements_)
        if (e.element->widget() == controle) {
            e.perteHaut = haut;
            e.perteBas = bas;
        }
}

void DispositionAncree::addItem(QLayoutItem* element) {
    const QWidget* controle = element->widget();
    elements_.append({element, controle ? controle->geometry() : QRect(), Fixe, 0, 0});
}

QLayoutItem* DispositionAncree::itemAt(int index) const {
    return index >= 0 && index < count() ? elements_[index].element : nullptr;
}

QLayoutItem* DispositionAncree::takeAt(int index) {
    if (index < 0 || index >= count())
        return nullptr;
    return elements_.takeAt(index).element;
}

void DispositionAncree::setGeometry(const QRect& zone) {
    QLayout::setGeometry(zone);
    // Les places se comptent dans tout le parent, comme celles du plan (un cadre réserve des
    // marges pour son titre, que le plan ne connaît pas).
    const QSize taille = parentWidget() ? parentWidget()->size() : zone.size();
    const int gainLargeur = std::max(-marge_.width(), taille.width() - taille_.width());
    const int gainHauteur = std::max(-marge_.height(), taille.height() - taille_.height());
    const auto part = [](double p, int gain) { return static_cast<int>(std::lround(p * gain)); };
    for (const Element& e : elements_) {
        const QRect& o = e.origine;
        const bool perte = gainHauteur < 0;
        const int gauche = o.left() + part(e.ancre.gauche, gainLargeur);
        const int haut = o.top() + part(perte ? e.perteHaut : e.ancre.haut, gainHauteur);
        const int droite = o.left() + o.width() + part(e.ancre.droite, gainLargeur);
        const int bas = o.top() + o.height() + part(perte ? e.perteBas : e.ancre.bas, gainHauteur);
        // La place exacte : un élément de disposition ramènerait un bouton à sa taille idéale.
        const QRect place(gauche, haut, droite - gauche, bas - haut);
        if (QWidget* controle = e.element->widget())
            controle->setGeometry(place);
        else
            e.element->setGeometry(place);
    }
}
