#pragma once
// Editing the extension classes: storing a class's options and icon and
// carrying them over to its extensions, moving matching Custom extensions
// into a class, creating and renaming classes.
#include "Configuration.h"

#include <QString>
#include <array>
#include <cstdint>

using ClassStatus = std::array<uint8_t, tidelex::ExtStatusBytes>;

// The classes the class editor offers: 1..31, active and not built in.
bool isEditableClass(const Configuration &config, int c);

// Live extensions of class c.
int liveClassMembers(const Configuration &config, int c);
// Live Custom extensions whose six option bytes equal `status`.
int matchingCustomExtensions(const Configuration &config, const ClassStatus &status);

// What happens to the extensions of a class whose options change.
enum class MemberUpdate {
    FollowClass, // they take the class's new options
    MakeCustom,  // they keep their own options and become Custom
};

// Stores `status` and `icon` into class c and updates every extension of
// class c, live or not, so none keeps options its class no longer gives.
void applyClass(Configuration &config, int c, const ClassStatus &status, const QString &icon,
                MemberUpdate members);

// Live Custom extensions whose options equal class c's join class c; the count.
int adoptMatchingCustom(Configuration &config, int c);

// Why a class name cannot be used.
enum class ClassNameProblem { None, Blank, Taken, NoRoom };
QString classNameProblemText(ClassNameProblem problem);

// A class name (trimmed) must not be blank nor the exact name of an active
// class 0..31, the one being renamed included (letter case counts).
ClassNameProblem classNameProblem(const Configuration &config, const QString &name);
// Whether a class index 1..31 is still free.
bool classRoomLeft(const Configuration &config);

// A new class in the lowest free index 1..31, named `name` (trimmed): a
// copy of class `copyOf`'s options and icon, or no options and Custom's
// icon when copyOf is -1. Its index, or -1 with the problem when refused.
int createClass(Configuration &config, const QString &name, int copyOf,
                ClassNameProblem *problem = nullptr);
// Gives class c the name (trimmed); false with the problem when refused.
bool renameClass(Configuration &config, int c, const QString &name,
                 ClassNameProblem *problem = nullptr);
