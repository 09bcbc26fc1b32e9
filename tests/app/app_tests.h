#pragma once

// Each runs one test class with Qt Test and returns its number of failures.
int RunFileFilterTest(int argc, char* argv[]);
int RunErrorDialogTest(int argc, char* argv[]);
int RunMainViewTest(int argc, char* argv[]);
int RunMainWindowTest(int argc, char* argv[]);
int RunApplicationTest(int argc, char* argv[]);
int RunDancePreviewTest(int argc, char* argv[]);
int RunEveryChartWriterTest(int argc, char* argv[]);
