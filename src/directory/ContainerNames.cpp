#include "directory/ContainerNames.h"

#include "netware/NovellCalls.h"

namespace directory {

std::optional<ContainerClass> containerClassOf(const QString& baseClass)
{
    const QString upper = baseClass.trimmed().toUpper();
    if (upper == QLatin1String("COUNTRY"))
        return ContainerClass::Country;
    if (upper == QLatin1String("ORGANIZATION"))
        return ContainerClass::Organization;
    if (upper == QLatin1String("ORGANIZATIONAL UNIT"))
        return ContainerClass::OrganizationalUnit;
    if (upper == QLatin1String("DOMAIN"))
        return ContainerClass::Domain;
    return std::nullopt;
}

QString containerImage(ContainerClass containerClass)
{
    switch (containerClass) {
    case ContainerClass::Country:
        return QStringLiteral("container-country.svg");
    case ContainerClass::Organization:
        return QStringLiteral("container-organization.svg");
    case ContainerClass::OrganizationalUnit:
        return QStringLiteral("container-unit.svg");
    case ContainerClass::Domain:
        return QStringLiteral("container-domain.svg");
    }
    return {};
}

QString childContext(const QString& name, const QString& parentContext)
{
    if (parentContext.isEmpty() || parentContext == kRootName)
        return name;
    return name + QLatin1Char('.') + parentContext;
}

QString containerNodeKey(const QString& name, const QString& listedIn, const QString& tree)
{
    return name + QLatin1Char('.') + listedIn + QLatin1Char('.') + tree;
}

QString startingContainerPath(const QString& fullPath, const QString& tree)
{
    if (fullPath == tree)
        return fullPath + QLatin1Char('\\') + kRootName;
    return fullPath + QLatin1Char('\\');
}

QString loginContextFromPath(const QString& fullPath, const QString& tree)
{
    QString path = fullPath == tree ? fullPath + QLatin1Char('\\') + kRootName : fullPath;
    QString result;
    while (!path.isEmpty()) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
        if (slash >= 0) {
            result += QLatin1Char('.') + path.mid(slash + 1);
            path.truncate(slash);
        } else {
            // The first component is the tree itself, which names no container.
            if (path != tree)
                result += QLatin1Char('.') + path;
            path.clear();
        }
    }
    return result;
}

QString withLeadingDot(const QString& context)
{
    return context.startsWith(QLatin1Char('.')) ? context : QLatin1Char('.') + context;
}

QString loginName(const QString& user, const QString& context)
{
    // A name with a leading dot is already the user's full name.
    if (user.startsWith(QLatin1Char('.')))
        return user;
    return user + context;
}

QString containerOfIdentity(const QString& identity)
{
    if (identity.left(8).toUpper() == QLatin1String("[PUBLIC]"))
        return identity;
    const qsizetype dot = identity.indexOf(QLatin1Char('.'));
    return dot >= 0 ? identity.mid(dot) : kRootName;
}

QString startingContextFromPath(const QString& treePath, const QString& tree)
{
    QString dots = nw::treePathToDots(treePath.trimmed(), tree);
    if (dots != kRootName && !dots.startsWith(QLatin1Char('.')))
        dots.prepend(QLatin1Char('.'));
    return dots;
}

}  // namespace directory
