#pragma once
// Le lien vers le site des auteurs, dans la fenêtre principale : en bleu, avec sa main ; il se
// souligne quand la souris passe dessus, et ne l'est plus dès qu'elle passe sur le fond de la
// fenêtre (pas sur un autre contrôle) ; un clic ouvre le site.

#include <QObject>

#include <functional>

class QLabel;
class QWidget;

class LienSite : public QObject {
public:
    // fond : le fond de la fenêtre ; ouvrir : ouvre le site (le résultat n'est pas lu).
    LienSite(QLabel* lien, QWidget* fond, std::function<void()> ouvrir);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void Souligner(bool souligne);

    QLabel* lien_;
    QWidget* fond_;
    std::function<void()> ouvrir_;
};
