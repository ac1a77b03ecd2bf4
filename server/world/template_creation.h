#pragma once
// Creating objects from templates: CreateTemplateObject builds the object of the template's
// kind (or applies the template to an existing mobile), runs its entries in order (stats,
// hue, name, scripts, sounds, equipment lines that make and place items), gives it the
// template's resources and finishes creatures, NPCs and shopkeepers.
//
// What creation needs of subsystems that come later goes through TemplateLinks, whose own
// answers are the ones in force until those subsystems exist: multis cannot be built, the
// resource banks allow everything and report no resource available, the magic-item chooser
// has no recipe, shop gold is not settled, and the NPC scheduler only records serials.
#include <map>
#include <string>
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class CItem;
class CMobile;
class CNPC;
class CShopKeeper;

class TemplateLinks {
public:
    virtual ~TemplateLinks() = default;
    // Multis: a built instance's master item, or null (none can be built yet).
    virtual CItem* MakeMultiInstance(int type, const Location& at, int option, CItem* master);
    virtual CItem* BuildMultiAt(int type, const Location& at);
    // Resource banks: whether an object may be created at the place / from template n.
    virtual bool CanCreateFromBank(CItem* item, const Location& at);
    virtual bool BankAllowsTemplate(int number);
    virtual int IsResourceAvailableAt(const Location& at, const char* resourceType);
    // The magic-item chooser: the item made from a recipe for the graphic, or null.
    virtual CItem* MakeMagicItem(int graphic, int low, int high);
    // The NPC scheduler.
    virtual void RegisterNpcSerial(u32 serial);
    // Shopkeepers: the bank gold settling and whether the shop has stock to sell.
    virtual void SettleBankGold(CShopKeeper* shopkeeper);
    virtual bool HasStock(CShopKeeper* shopkeeper);
    // Hands the gold pile to the mobile's bank (CMobile::PutMoneyInBank's answer).
    virtual int PutMoneyInBank(CMobile* mobile, CItem* pile, int amount);

    // The serials the NPC scheduler was given, oldest first.
    std::vector<u32> registeredNpcs;
};

TemplateLinks& GetTemplateLinks();
TemplateLinks* SetTemplateLinks(TemplateLinks* links);

// Shop container layers.
constexpr int kShopSellLayer = 26;
constexpr int kShopInventoryLayer = 27;
constexpr int kShopBuyLayer = 28;
constexpr int kLayoutContainerGraphic = 11000;

// The state of one application of a template.
struct TemplateRun {
    std::map<std::string, CItem*> labels;  // lower-cased names; the first object stays
    int hairHue = -1;
    int layoutCounter = 0;
    int copies = 1;
    int templateNumber = 0;
};

// The object made from template n at L (or the target the template was applied to), or null.
// bankCheck 0/1, factor the resource factor (0-3).
CItem* CreateTemplateObject(int number, const Location& at, int bankCheck, int factor,
                            CItem* target);
CItem* ApplyTemplate(int number, const Location& at, int& copies, int bankCheck, CItem* target,
                     int factor);
// Makes the object of a kind word ("normal", "guard", "shopkeeper", "item"; "none" makes
// nothing and answers true). False for another word.
bool MakeObjectOfKind(CItem*& out, const char* kindWord, int graphic, const Location& at);
bool RetypeObject(CItem* object, const char* kindWord, int graphic);
// 1 made (or nothing to do), 0 nothing made, -1 refused by the bank with the item equipped.
int ApplyEquipLine(CItem* target, const char* text, TemplateRun& run, const Location& at,
                   int bankCheck, int factor);
void GiveTemplateResources(int bankCheck, CItem* object, int copies, const Location& at, int factor,
                           int fromTemplate);
void AssignNpcTown(CNPC* npc, const Location& at);
// The display form of a region's town word ("new@haven" -> "New Haven").
std::string TownDisplayName(const std::string& word);
// The word between a region name's first '_' and the next '_' (at most 39 characters).
std::string RegionNameWord(const char* name);
// The gold a shopkeeper starts with for the stock in its sell container.
int ShopGoldForStock(CMobile* shopkeeper);
bool StockShopGold(CMobile* shopkeeper);
void ResetForTemplate(CItem* object);
bool IsHairGraphic(int graphic);
bool IsStillObject(u32 serial, CItem* object);
// A hue (or -1) from a hue spec; "match_hair" uses the run's hair hue.
int ParseHueSpec(const char*& text, int hairHue, int templateNumber);
// One word of a graphic spec, or a draw from "{ word weight ... }" ("0" when none).
std::string PickGraphicSpec(const char*& text);
// The movement type creation gives a mobile of the template.
int GetTemplateMoveType(int number);
