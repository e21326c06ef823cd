// FCrypt: the passphrase quality display.
#include <QLabel>
#include <QLineEdit>

#include "gui/app/localizer.h"
#include "gui/main/fcrypt.h"
#include "gui/widgets/lamp_image.h"
#include "gui/widgets/star_rating.h"
#include "passphrase/rating.h"

namespace sealwise::gui {

void FCrypt::PwdBewert(const QString& Strpwd) { ShowQuality(RatePassphrase(Strpwd.toStdString())); }

void FCrypt::ShowQuality(const PassphraseRating& rating) {
    pwd_.verdict->setText(ResText(rating.verdictId, pwd_.verdict->text()));
    pwd_.rating->SetShown(rating.starsShown, rating.placeholdersShown);
    pwd_.lamps[0]->SetLit(rating.lamps.red);
    pwd_.lamps[1]->SetLit(rating.lamps.yellow);
    pwd_.lamps[2]->SetLit(rating.lamps.green);
}

}  // namespace sealwise::gui
