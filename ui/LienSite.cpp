#include "LienSite.h"

#include <QLabel>
#include <QMouseEvent>

#include "Images.h"

LienSite::LienSite(QLabel* lien, QWidget* fond, std::function<void()> ouvrir)
    : QObject(lien), lien_(lien), fond_(fond), ouvrir_(std::move(ouvrir)) {
    QPalette bleu = lien_->palette();
    bleu.setColor(QPalette::WindowText, Qt::blue);
    lien_->setPalette(bleu);
    lien_->setCursor(CurseurMain());
    lien_->setMouseTracking(true);
    lien_->installEventFilter(this);
    fond_->setMouseTracking(true);
    fond_->installEventFilter(this);
}

void LienSite::Souligner(bool souligne) {
    QFont police = lien_->font();
    if (police.underline() != souligne) {
        police.setUnderline(souligne);
        lien_->setFont(police);
    }
}

bool LienSite::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == lien_) {
        if (evenement->type() == QEvent::MouseMove) {
            Souligner(true);
        } else if (evenement->type() == QEvent::MouseButtonRelease) {
            const auto* souris = static_cast<QMouseEvent*>(evenement);
            if (souris->button() == Qt::LeftButton &&
                lien_->rect().contains(souris->position().toPoint()) && ouvrir_)
                ouvrir_();
        }
    } else if (objet == fond_ && evenement->type() == QEvent::MouseMove) {
        // Seul le fond de la fenêtre compte, pas un autre contrôle (images comprises).
        const auto* souris = static_cast<QMouseEvent*>(evenement);
        if (!fond_->childAt(souris->position().toPoint()))
            Souligner(false);
    }
    return QObject::eventFilter(objet, evenement);
}
