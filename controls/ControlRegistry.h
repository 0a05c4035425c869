#pragma once

// Lets dialog templates that name the program's own control classes create them.
void RegisterControlClasses();
