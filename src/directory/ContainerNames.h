#pragma once
// Names in the container browser, the login dialog and the starting-container
// dialog: which directory classes count as containers, the context a tree
// node's children are listed under, and the forms a chosen node is handed
// back in (tree path for the server search, dotted name for a login).

#include <QString>

#include <optional>

namespace directory {

// The four classes of object that hold other directory objects and are shown
// in the browser; localities and every other class are left out.
enum class ContainerClass { Country, Organization, OrganizationalUnit, Domain };

// The class of a listed object from its base class (compared in upper case),
// or nothing when the object is not one of the four containers.
std::optional<ContainerClass> containerClassOf(const QString& baseClass);

// The image file of a container class (":/icons/<file>").
QString containerImage(ContainerClass containerClass);

inline const QString kRootName = QStringLiteral("[Root]");

// What a node's children are listed under: the node's own name, a dot and its
// parent's context, the root's "[Root]" left out (SALES under ACME gives
// SALES.ACME; ACME under the root gives ACME).
QString childContext(const QString& name, const QString& parentContext);

// The unique key of a container node: its name, the context it was listed in
// and the tree, joined by dots.
QString containerNodeKey(const QString& name, const QString& listedIn, const QString& tree);

// The starting-container browser's result for a node's full path: the tree
// alone (the root) gives TREE\[Root], any container its path and a trailing
// backslash. Both are the stored forms of the starting container.
QString startingContainerPath(const QString& fullPath, const QString& tree);

// The login browser's result for a node's full path: the dotted absolute
// name, leaf first (TREE\ACME\SALES gives .SALES.ACME; the root gives .[Root]).
QString loginContextFromPath(const QString& fullPath, const QString& tree);

// The context as a login sends it: with a leading dot.
QString withLeadingDot(const QString& context);

// The name a login sends: a user name without a leading dot is followed by
// the context (admin and .ACME give admin.ACME); one that begins with a dot
// is taken as the user's full name and sent as it is.
QString loginName(const QString& user, const QString& context);

// The container of the user's directory identity (admin.ACME gives .ACME);
// "[PUBLIC]" (not logged in) comes back as it is, a user at the tree root
// gives "[Root]".
QString containerOfIdentity(const QString& identity);

// The dotted starting container for a chosen tree path, as the server search
// reads it back: TREE\[Root] gives [Root], TREE\ACME\SALES\ gives .SALES.ACME.
QString startingContextFromPath(const QString& treePath, const QString& tree);

}  // namespace directory
