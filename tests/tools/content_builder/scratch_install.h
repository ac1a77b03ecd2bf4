#pragma once
// A scratch install for one test suite: the 17 data files empty except the index/data pairs
// given, opened by the client's data cache (a maximum install).
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "client/data/data_file_cache.h"
#include "tools/content_builder/client_files.h"

class ScratchInstall {
public:
    struct Pair {
        int indexFile;
        int dataFile;
        std::vector<IndexedRecord> records;
    };
    ScratchInstall(const std::string& name, const std::vector<Pair>& pairs)
        : dir_(::testing::TempDir() + "/" + name + "_" + std::to_string(::getpid()) + "/") {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        for (int f = 0; f < kDataFileCount; ++f)
            Write(DataFileTable(f).name, {});
        for (const Pair& p : pairs) {
            std::vector<u8> index, data;
            WriteIndexedRecords(p.records, index, data);
            Write(DataFileTable(p.indexFile).name, index);
            Write(DataFileTable(p.dataFile).name, data);
        }
        DataCacheSettings s;
        s.hdDir = dir_;
        s.maximumInstall = true;
        TheDataCache().Init(s);
    }
    ~ScratchInstall() {
        TheDataCache().Shutdown();
        std::filesystem::remove_all(dir_);
    }

private:
    void Write(const std::string& name, const std::vector<u8>& bytes) const {
        std::ofstream(dir_ + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::string dir_;
};

// A suite whose tests share one scratch install of the records `Build` makes, kept in
// `Records()`.
template <int IndexFile, int DataFile, std::vector<IndexedRecord> (*Build)()>
class ScratchInstallSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        records_ = new std::vector<IndexedRecord>(Build());
        install_ =
            new ScratchInstall(::testing::UnitTest::GetInstance()->current_test_suite()->name(),
                               {{IndexFile, DataFile, *records_}});
    }
    static void TearDownTestSuite() {
        delete install_;
        delete records_;
    }
    static const std::vector<IndexedRecord>& Records() { return *records_; }

private:
    static inline std::vector<IndexedRecord>* records_ = nullptr;
    static inline ScratchInstall* install_ = nullptr;
};
