// setFilterGrid(id, refRow, props): the call the catalogue page makes, mapped onto TableFilter.
// The page is opened from disk with nothing beside it, so the library must never fetch a
// stylesheet, image or script by file: all of them are inside the page.
function setFilterGrid(id, refRow, props) {
    var config = {};
    for (var key in props) {
        if (Object.prototype.hasOwnProperty.call(props, key)) {
            config[key] = props[key];
        }
    }
    // The first entry of a drop-down filter has another key name here.
    if (Object.prototype.hasOwnProperty.call(config, 'display_all_text')) {
        config.clear_filter_text = config.display_all_text;
        delete config.display_all_text;
    }
    // Program and bank names carry '<', '>', '!', '*', '=' and the like as plain text: typed or
    // chosen, a filter finds them as they are. The library reads such characters as comparison
    // operators, so each operator gets a private-use character no name contains.
    var operators = ['lower_operator', 'lower_equal_operator', 'greater_operator', 'greater_equal_operator',
        'different_operator', 'like_operator', 'equal_operator', 'start_with_operator', 'end_with_operator',
        'regexp_operator', 'or_operator', 'and_operator', 'empty_operator', 'nonempty_operator'];
    for (var i = 0; i < operators.length; ++i) {
        if (!Object.prototype.hasOwnProperty.call(config, operators[i])) {
            config[operators[i]] = String.fromCharCode(0xE000 + i);
        }
    }
    config.base_path = '';
    // The page's own style hides the help button; the library would add one anyway.
    config.help_instructions = false;
    if (config.sort) {
        delete config.sort;
        config.extensions = [{ name: 'sort', images_path: '', image_blank: @BLANK_IMAGE@ }];
    }

    var style = document.createElement('style');
    style.id = id + '_style';
    style.textContent = @STYLESHEET@;
    document.head.appendChild(style);

    var grid = new TableFilter(id, refRow, config);
    grid.import = function () {};
    grid.init();
    return grid;
}
