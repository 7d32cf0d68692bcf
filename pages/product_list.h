// A set's products as the window keeps them, for the page that lists them: their names in
// the set's order, the one the other pages edit, and the changes the list makes.
#pragma once
#include <string>
#include <vector>

enum class ProductChange { Add, Duplicate, Remove, MoveUp, MoveDown };

class ProductList {
public:
    // "1  Hardcover: cover.png", a line each, in the set's order.
    virtual std::vector<std::wstring> ProductCaptions() const = 0;
    virtual int ChosenProduct() const = 0;
    // Makes product k the one the pages edit; the set is as it was.
    virtual void ChooseProduct(int k) = 0;
    // Changes the list at the chosen product (a step of undo); the product added or moved
    // is chosen after.
    virtual void ChangeProducts(ProductChange change) = 0;

protected:
    ~ProductList() = default;
};
