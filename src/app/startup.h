#pragma once
// The program's start-up routine, called back once by the framework.
void Startup();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void MakeDefaultView();
