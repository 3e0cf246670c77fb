#pragma once

#include <QString>

// The maker's web site and addresses, in one place. The domain is a
// reserved example domain until the project has a site of its own.
namespace gSite {

inline QString SiteAddress() { return QStringLiteral("http://zorvane.example.org"); }
inline QString SiteHost() { return QStringLiteral("zorvane.example.org"); }
// The home page: the site followed by "/zorvane.php".
inline QString HomePage() { return SiteAddress() + QStringLiteral("/zorvane.php"); }
inline QString SupportMail() { return QStringLiteral("support@zorvane.example.org"); }

} // namespace gSite
