#pragma once

#include <QString>

#include <array>

// The maker's web site and addresses, in one place. The domain is a
// reserved example domain until the project has a site of its own.
namespace gSite {

inline QString SiteAddress() {
    return QStringLiteral("http://zorvane.example.org");
}
inline QString SiteHost() {
    return QStringLiteral("zorvane.example.org");
}
// The home page: the site followed by "/zorvane.php".
inline QString HomePage() {
    return SiteAddress() + QStringLiteral("/zorvane.php");
}
inline QString SupportMail() {
    return QStringLiteral("support@zorvane.example.org");
}

// Pages of the site the menus and the about box open.
inline QString HelpPage() {
    return SiteAddress() + QStringLiteral("/zorvane.php#help");
}
inline QString FaqPage() {
    return SiteAddress() + QStringLiteral("/zorvane.php#faq");
}
inline QString ProductsPage() {
    return SiteAddress() + QStringLiteral("/quelv-software-products.php");
}
inline QString NewsletterPage() {
    return SiteAddress() + QStringLiteral("/product-newsletter-register.php");
}
inline QString AffiliatePage() {
    return SiteAddress() + QStringLiteral("/affiliate.php");
}

// The maker's name as the program carries it: character i is XORed with
// (0x35 + 7 * i) & 0xFF, so the name is not lying in the file as text.
// MakerName() (delivery/AboutInfo.h) reads it back.
inline constexpr std::array<unsigned char, 14> kMakerNameScrambled = {
    0x64, 0x49, 0x26, 0x26, 0x27, 0x78, 0x0C, 0x09, 0x0B, 0x00, 0x0C, 0xE3, 0xFB, 0xF5};

} // namespace gSite
