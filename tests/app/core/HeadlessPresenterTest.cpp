// Tests of the presenter that batch runs without a display use.
#include "app/core/HeadlessPresenter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class CapturedFile {
 public:
  CapturedFile() : m_file(std::tmpfile()) {}
  ~CapturedFile() { std::fclose(m_file); }
  std::FILE* File() const { return m_file; }
  std::string Text() const {
    std::fflush(m_file);
    std::rewind(m_file);
    std::string text;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, m_file)) > 0) text.append(buf, n);
    return text;
  }

 private:
  std::FILE* m_file;
};

TEST(HeadlessPresenter, PrintsTheTextAndTakesTheDefaultAnswer) {
  CapturedFile out;
  HeadlessPresenter presenter(out.File());
  EXPECT_EQ(presenter.Present("Can not open file.\n- Illegal file format.", 16, 0), 1);
  EXPECT_EQ(presenter.Present("Exist editing document.\n- Save the document ?", 51, 0), 6);
  EXPECT_EQ(presenter.Present("Present data are not kept. Is it OK?", 1, 0), 1);
  EXPECT_EQ(out.Text(),
            "Trillot: Can not open file.\nTrillot: - Illegal file format.\n"
            "Trillot: Exist editing document.\nTrillot: - Save the document ?\n"
            "Trillot: Present data are not kept. Is it OK?\n");
}

TEST(HeadlessPresenter, PrintsNotesOfBatchConversionToo) {
  CapturedFile out;
  HeadlessPresenter presenter(out.File());
  presenter.Note("About TrSig.\n- DLL: Not found TrSig.\n");
  EXPECT_EQ(out.Text(), "Trillot: About TrSig.\nTrillot: - DLL: Not found TrSig.\n");
}

TEST(HeadlessPresenter, EveryLineCarriesThePrefix) {
  CapturedFile out;
  HeadlessPresenter presenter(out.File());
  presenter.Note("one\n\nthree");
  presenter.Note("");
  EXPECT_EQ(out.Text(), "Trillot: one\nTrillot: \nTrillot: three\nTrillot: \n");
}

}  // namespace
