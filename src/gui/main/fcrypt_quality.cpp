// FCrypt: the passphrase quality display.
#include <QLabel>
#include <QLineEdit>

#include "gui/app/localizer.h"
#include "gui/main/fcrypt.h"
#include "gui/widgets/lamp_image.h"
#include "gui/widgets/painted_image.h"
#include "passphrase/rating.h"

namespace sealwise::gui {

void FCrypt::PwdBewert(const QString& Strpwd) { ShowQuality(RatePassphrase(Strpwd.toStdString())); }

void FCrypt::ShowQuality(const PassphraseRating& rating) {
    pwd_.verdict->setText(ResText(rating.verdictId, pwd_.verdict->text()));
    for (std::size_t i = 0; i < pwd_.stars.size(); ++i) {
        pwd_.stars[i]->setVisible(rating.starsShown[i]);
        pwd_.places[i]->setVisible(rating.placeholdersShown[i]);
    }
    pwd_.lamps[0]->SetLit(rating.lamps.red);
    pwd_.lamps[1]->SetLit(rating.lamps.yellow);
    pwd_.lamps[2]->SetLit(rating.lamps.green);
}

}  // namespace sealwise::gui
