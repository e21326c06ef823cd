#include "gui/about/promo_panels.h"

#include "app/msg.h"

namespace sealwise::gui {

namespace {
constexpr int kGermanOffset = 0;
constexpr int kLastOffsetWithGuide = 1100;  // German 0 and English 900
}  // namespace

PromoPanel PanelFromDraw(double r) {
    if (r > 0.66) return PromoPanel::OnlineGuide;
    if (r > 0.33) return PromoPanel::OnlineVersion;
    return PromoPanel::CommandLine;
}

PromoPanel PanelForLanguage(PromoPanel panel, int languageOffset) {
    if (panel == PromoPanel::OnlineGuide && languageOffset > kLastOffsetWithGuide) {
        return PromoPanel::OnlineVersion;
    }
    return panel;
}

PanelContent ContentOf(PromoPanel panel) {
    switch (panel) {
        case PromoPanel::CommandLine:
            return {"sealwise-cli", "sealwise.example/cli", Msg::CliPanelText1, Msg::CliPanelText2};
        case PromoPanel::OnlineVersion:
            return {"Sealwise Online", "sealwise.example/online", Msg::OnlinePanelText1,
                    Msg::OnlinePanelText2};
        case PromoPanel::OnlineGuide:
            return {"Sealwise Guide", "sealwise.example/guide", Msg::GuidePanelText1,
                    Msg::GuidePanelText2};
    }
    return {};
}

std::string PanelLink(PromoPanel panel, int languageOffset, int element) {
    switch (panel) {
        case PromoPanel::CommandLine:
            return "https://sealwise.example/cli";
        case PromoPanel::OnlineVersion:
            return element == 1 ? "https://sealwise.example/online/about"
                                : "https://sealwise.example/online";
        case PromoPanel::OnlineGuide:
            return languageOffset == kGermanOffset ? "https://sealwise.example/de/guide"
                                                   : "https://sealwise.example/en/guide";
    }
    return {};
}

}  // namespace sealwise::gui
